#pragma once
// The local profile store in the data folder: "CID.dct" (the last used model) and, per model,
// "PRO_%02x%02x.dct" (the current profile's id and the four profile records). Files are
// written whole (temporary file and rename), so a failed write leaves the old file.
#include "app/paths.h"
#include "profile/profile_state.h"

#include <QString>

#include <cstdint>

namespace zorvan {

constexpr qsizetype kCidFileSize = 8;
constexpr qsizetype kProfileStoreSize = 8420;

// "PRO_1a05.dct" for CID 0x1A and MID 0x05.
QString ProfileStoreName(int32_t cid, int32_t mid);

// Chooses the current device from "CID.dct": the first description with a sensor whose CID
// and MID are the stored ones, else description 0. Logs "LoadCID ok: cid=%02x, mid=%02x".
void LoadCID(const QString& dataDir = Paths().dataDir);

// Writes the current device's CID and MID to "CID.dct" (nothing without a current device).
bool SaveCID(const QString& dataDir = Paths().dataDir);

// Loads the current device's store into the session's profile list (under the profile lock)
// and picks the current profile; a missing, wrongly sized or unreadable store gives four new
// profiles named "<tc_msg35> 1".."<tc_msg35> 4", and a record of the store that is not a
// profile (magic, id 0) is replaced by the new profile of its place. Also copies the current
// device's key tables into the default key table, and notes the model the profiles belong to. False without a current device (nothing
// changes) and when new profiles were made.
bool LoadPro(const QString& dataDir = Paths().dataDir);

// Writes the current profile's id and the four records to the current device's store. False
// (the old file stays) without a current profile or device, or when writing fails.
bool SavePro(const QString& dataDir = Paths().dataDir);

// The same, to the store of `model` (the model the profiles belong to, which is no longer the
// current device once another model was identified).
bool SaveProfileStore(const ModelIds& model, const QString& dataDir = Paths().dataDir);

// The profiles to the store of the model they were loaded for (see LoadedStoreModel); as SavePro
// when they were not loaded from a store.
bool SaveLoadedProfiles(const QString& dataDir = Paths().dataDir);

}  // namespace zorvan
