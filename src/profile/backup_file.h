#pragma once
// The whole-mouse backup file: the four on-board profiles of one mouse model, each with its
// current DPI level and the macros its keys use, behind a header that names the format, its
// version and the model, and a CRC-32 over the whole file. Reading checks all of it before
// anything is used; the codec works on bytes, the file functions on paths.
//
// Layout (little-endian): BackupFileHeader, then per profile (four, in on-board order)
// BackupProfileHeader, the 2104-byte profile record and `macroCount` 834-byte macro records.
#include "device/eeprom_map.h"
#include "macro/st_macro.h"
#include "profile/profile_record.h"

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zorvan {

constexpr char kBackupMagic[8] = {'Z', 'V', 'B', 'A', 'C', 'K', 'U', 'P'};
constexpr uint32_t kBackupVersion = 1;
// A profile's keys use at most one macro per key.
constexpr uint32_t kBackupMaxMacros = kKeysPerSet;

struct BackupFileHeader {
    char magic[8];           // kBackupMagic
    uint32_t version;        // kBackupVersion
    uint8_t cid;             // the model the backup was made of
    uint8_t mid;
    uint8_t activeProfile;   // 0..3: active on the mouse when the backup was made
    uint8_t profileCount;    // 4
    int32_t sensor;          // the model's sensor
    uint32_t size;           // of the whole file
    uint32_t checksum;       // CRC-32 of the whole file, this field taken as 0
};
static_assert(sizeof(BackupFileHeader) == 28);
static_assert(offsetof(BackupFileHeader, version) == 8);
static_assert(offsetof(BackupFileHeader, cid) == 12);
static_assert(offsetof(BackupFileHeader, activeProfile) == 14);
static_assert(offsetof(BackupFileHeader, sensor) == 16);
static_assert(offsetof(BackupFileHeader, size) == 20);
static_assert(offsetof(BackupFileHeader, checksum) == 24);

struct BackupProfileHeader {
    int32_t currentDpiLevel;  // 0-based, as the mouse held it
    uint32_t macroCount;      // 0..kBackupMaxMacros
};
static_assert(sizeof(BackupProfileHeader) == 8);
static_assert(offsetof(BackupProfileHeader, macroCount) == 4);

// The largest file: every profile with a macro on every key.
constexpr size_t kBackupMaxSize =
    sizeof(BackupFileHeader) +
    eeprom::kOnBoardProfiles * (sizeof(BackupProfileHeader) + sizeof(ProfileRecord) + kBackupMaxMacros * sizeof(StMacro));

// One on-board profile: the record (key set 0 holds the keys as the mouse has them), its current
// DPI level and the macros of its macro keys, each once.
struct BackupProfile {
    ProfileRecord record{};
    int32_t currentDpiLevel = 0;
    std::vector<StMacro> macros;
};

struct MouseBackup {
    uint8_t cid = 0;
    uint8_t mid = 0;
    int32_t sensor = 0;
    int activeProfile = 0;
    std::array<BackupProfile, eeprom::kOnBoardProfiles> profiles{};
};

// CRC-32 (the polynomial of zip and PNG).
uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t crc = 0);

std::vector<uint8_t> EncodeBackup(const MouseBackup& backup);
// The backup in `bytes`, or nothing with `error` saying what is wrong: not a backup, a version
// this program does not read, truncated or too long, damaged (checksum), or a part that cannot
// be used (a record that is not a profile, a macro that is not a macro, a macro key whose macro
// the file does not hold, an impossible count).
std::optional<MouseBackup> DecodeBackup(std::span<const uint8_t> bytes, QString& error);

// Written whole (temporary file and rename). False with `error` set.
bool SaveBackupFile(const QString& path, const MouseBackup& backup, QString& error);
// Read and checked as DecodeBackup does. Nothing with `error` set.
std::optional<MouseBackup> LoadBackupFile(const QString& path, QString& error);

}  // namespace zorvan
