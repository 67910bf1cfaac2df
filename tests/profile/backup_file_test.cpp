// The backup file: what is written reads back the same, and a file that is damaged in any way
// is refused whole, with a message that says what is wrong.
#include "macro/macro_record.h"
#include "profile/backup_file.h"
#include "support/test_support.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace zorvan {
namespace {

using Bytes = std::vector<uint8_t>;

MouseBackup SampleBackup()
{
    MouseBackup backup;
    backup.cid = 0x1A;
    backup.mid = 0x03;
    backup.sensor = 0x3395;
    backup.activeProfile = 2;
    for (size_t p = 0; p < backup.profiles.size(); ++p) {
        BackupProfile& profile = backup.profiles[p];
        profile.record.magic = kProfileMagic;
        profile.record.id = 0x100 + uint32_t(p);
        profile.record.pollingRate = kRate500;
        profile.currentDpiLevel = int32_t(p);
    }
    // Profile 2 has a macro key.
    StMacro macro{};
    macro.magic = kMacroMagic;
    macro.id = 0x4242;
    macro.events[0] = {'A', kActionPress, 10};
    backup.profiles[1].macros.push_back(macro);
    backup.profiles[1].record.Key[0][5].dwFunID = 0x05000000;
    backup.profiles[1].record.Key[0][5].dwMacroID = 0x4242;
    return backup;
}

// The bytes with the checksum made right again (a file written by a program that means it).
Bytes Resealed(Bytes bytes)
{
    constexpr size_t at = offsetof(BackupFileHeader, checksum);
    std::memset(bytes.data() + at, 0, 4);
    const uint32_t crc = Crc32(bytes);
    std::memcpy(bytes.data() + at, &crc, 4);
    return bytes;
}

std::optional<MouseBackup> Decode(const Bytes& bytes, QString* error = nullptr)
{
    QString text;
    std::optional<MouseBackup> backup = DecodeBackup(bytes, text);
    if (error)
        *error = text;
    EXPECT_EQ(backup.has_value(), text.isEmpty());
    return backup;
}

TEST(BackupFile, WhatIsWrittenReadsBackTheSame)
{
    const MouseBackup backup = SampleBackup();
    const Bytes bytes = EncodeBackup(backup);
    EXPECT_EQ(bytes.size(), sizeof(BackupFileHeader) + 4 * (sizeof(BackupProfileHeader) + sizeof(ProfileRecord)) +
                                sizeof(StMacro));
    EXPECT_EQ(std::memcmp(bytes.data(), "ZVBACKUP", 8), 0);
    const std::optional<MouseBackup> read = Decode(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(EncodeBackup(*read), bytes);
    EXPECT_EQ(read->activeProfile, 2);
    EXPECT_EQ(read->profiles[3].currentDpiLevel, 3);
    ASSERT_EQ(read->profiles[1].macros.size(), 1u);
    EXPECT_EQ(read->profiles[1].macros[0].id, 0x4242u);
}

TEST(BackupFile, TheChecksumIsTheUsualCrc32)
{
    const uint8_t text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc32(text), 0xCBF43926u);
}

TEST(BackupFile, DamagedFilesAreRefusedWithWhatIsWrong)
{
    const Bytes good = EncodeBackup(SampleBackup());
    struct Case {
        const char* name;
        std::function<Bytes()> bytes;
        const char* says;
    };
    const Case cases[] = {
        {"empty", [] { return Bytes{}; }, "not a mouse backup"},
        {"another file", [] { return Bytes(200, 'x'); }, "not a mouse backup"},
        {"header cut", [&] { return Bytes(good.begin(), good.begin() + 20); }, "truncated"},
        {"last byte missing", [&] { return Bytes(good.begin(), good.end() - 1); }, "truncated: "},
        {"cut in the middle", [&] { return Bytes(good.begin(), good.begin() + long(good.size() / 2)); }, "truncated"},
        {"a byte more", [&] { Bytes b = good; b.push_back(0); return b; }, "header says"},
        {"unknown version",
         [&] {
             Bytes b = good;
             b[offsetof(BackupFileHeader, version)] = 2;
             return Resealed(b);
         },
         "version 2"},
        {"flipped record byte", [&] { Bytes b = good; b[600] ^= 0x01; return b; }, "damaged"},
        {"flipped model byte", [&] { Bytes b = good; b[offsetof(BackupFileHeader, cid)] ^= 0x40; return b; }, "damaged"},
        {"five profiles",
         [&] {
             Bytes b = good;
             b[offsetof(BackupFileHeader, profileCount)] = 5;
             return Resealed(b);
         },
         "a mouse has 4"},
        {"a record that is not a profile",
         [&] {
             Bytes b = good;
             b[sizeof(BackupFileHeader) + sizeof(BackupProfileHeader)] ^= 0xFF;  // magic of profile 1
             return Resealed(b);
         },
         "on-board profile 1 cannot be restored: it is not a valid profile record"},
        {"a macro key without its macro",
         [] {
             MouseBackup b = SampleBackup();
             b.profiles[1].macros.clear();
             return EncodeBackup(b);
         },
         "on-board profile 2 cannot be restored: key 6 uses macro 0x4242"},
        {"a macro that is not a macro",
         [] {
             MouseBackup b = SampleBackup();
             b.profiles[1].macros[0].magic = 0;
             return EncodeBackup(b);
         },
         "its macro 1 is not a macro record"},
        {"a current level beyond the eight",
         [] {
             MouseBackup b = SampleBackup();
             b.profiles[0].currentDpiLevel = 8;
             return EncodeBackup(b);
         },
         "current DPI level 8"},
        {"more macros than keys",
         [] {
             MouseBackup b = SampleBackup();
             b.profiles[0].macros.assign(17, b.profiles[1].macros[0]);
             return EncodeBackup(b);
         },
         "too many macros"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_FALSE(Decode(c.bytes(), &error));
        EXPECT_TRUE(error.contains(QLatin1String(c.says))) << error.toStdString();
    }
}

TEST(BackupFile, EveryFlippedByteIsRefused)
{
    const Bytes good = EncodeBackup(SampleBackup());
    for (size_t at = 0; at < good.size(); at += 13) {
        SCOPED_TRACE(at);
        Bytes bytes = good;
        bytes[at] ^= 0x10;
        EXPECT_FALSE(Decode(bytes));
    }
}

TEST(BackupFile, TheFileFunctionsNameThePath)
{
    test::TempDir dir;
    const QString path = dir.File("mouse.zvb");
    QString error;
    ASSERT_TRUE(SaveBackupFile(path, SampleBackup(), error)) << error.toStdString();
    EXPECT_TRUE(LoadBackupFile(path, error));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.resize(file.size() - 10);
    file.close();
    EXPECT_FALSE(LoadBackupFile(path, error));
    EXPECT_TRUE(error.startsWith(path + QStringLiteral(" cannot be restored: it is truncated"))) << error.toStdString();

    EXPECT_FALSE(LoadBackupFile(dir.File("missing.zvb"), error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot read ") + dir.File("missing.zvb"))) << error.toStdString();
}

}  // namespace
}  // namespace zorvan
