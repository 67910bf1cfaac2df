#pragma once
// What the fuzz targets over profile and macro data share: the product data of the source tree
// as the process-wide configuration, a data folder of their own, no waiting, and an emulated
// mouse that answers at once.
#include "device/eeprom_map.h"
#include "device/emulated/mouse_firmware.h"
#include "device/reply_queue.h"
#include "device/usb_driver.h"
#include "macro/st_macro.h"
#include "profile/profile_list.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zorvan::fuzz {

// Once per process: data/cfg.ini of the source tree loaded, log and messages silenced, the
// pauses of the profile read, the settings writer and the id maker set to zero, and a
// temporary data folder as the data folder (in memory when /dev/shm is there, so that the
// syncs of the file writes cost nothing), removed at exit.
void SetUpWorld();

// Makes model `selector` (modulo the number of models cfg.ini describes) the current device
// and returns its index.
int UseModel(uint8_t selector);

// Four new profiles of the current model, made once per model (ids take time to make).
const std::array<ProfileRecord, ProfileList::kCount>& NewProfiles();
// Puts NewProfiles() into the session's profile list, record 0 current.
void ResetSessionProfiles();

// A few library macros the fuzzed data may refer to (ids 1..4): a plain one, one of 91 events,
// one with a repeat count of 300 and a loop mode of 9, and one whose name has no terminator.
std::vector<StMacro> LibraryMacros();
// The library holds LibraryMacros() and the macro folder is empty: macro files of earlier
// executions would pile up, and each macro added under a name already taken probes the
// numbered names one file after another.
void ResetLibrary();

// Aborts (a finding) when `holds` is false.
void Expect(bool holds, const char* what);

// Writes `bytes` as the data folder's file `name` and returns its path: the fuzzed input where
// the program looks for it.
QString WriteDataFile(const QString& name, const QByteArray& bytes);

// Removes a folder tree by its bytes (Qt would not find names that are not UTF-8); links are
// removed, not followed.
void RemoveTree(const std::string& root);

// The emulated mouse's firmware behind a device link, without threads: a request is carried out
// and answered at once, so the answer lies in the reply queue before the link waits for it.
class DirectMouse {
public:
    // A mouse of the current model whose active profile holds `image`.
    explicit DirectMouse(const eeprom::ProfileImage& image);
    MouseFirmware& Firmware() { return *firmware_; }
    CUSBDriver& Link() { return link_; }

private:
    std::shared_ptr<MouseFirmware> firmware_;
    ReplyQueue replies_;
    CUSBDriver link_{nullptr, replies_};
};

// The factory content of the current model's active profile.
eeprom::ProfileImage FactoryImage();

}  // namespace zorvan::fuzz
