#pragma once
// zorvanctl apply: a profile document in the very format `read --json` prints, read field by
// field over the current profile, and the changes that take the profile there, each made by the
// rule and with the request of the single command that changes the same thing (`set`, `light`,
// `assign`).
#include "app/app_options.h"
#include "app/device_description.h"
#include "app/sensor_tables.h"
#include "profile/profile_edits.h"
#include "profile/profile_record.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace zorvan::cli {

// What the document asks for.
struct ProfileDocument {
    std::optional<int> profile;  // the on-board profile (0..3), when the document names one
    int currentDpiLevel = -1;    // -1: as it is
    ProfileRecord record{};      // the current profile with the document's fields laid over it
};

// Reads `json` over `current` (the current profile and DPI level). Every field is optional;
// a field the format does not have, a value of the wrong type or out of its range is an error
// naming the field ("record.dpi_levels[2].x: expected an integer"). `id` and `hidden` (which
// the read derives) and a key's `matrix` are taken as they are; `sensor` must be the model's.
std::optional<ProfileDocument> ReadProfileDocument(const QByteArray& json, const ProfileRecord& current,
                                                   int currentDpiLevel, QString& error);

// One change: the edit of the single command (it keeps the current DPI level in `level`).
struct DocumentChange {
    QString field;  // the document's field, for messages
    bool lighting = false;
    std::function<Edit(ProfileRecord&, int& level)> edit;
};

// The rules the single commands read their limits from.
struct ApplyRules {
    const DeviceDescription& device;
    const AppOptions& options;
    const SensorTables& sensors;
    const KeyTable& defaults;
    bool underPid = false;
};

// The changes from `current` to `document`, in the order the commands would be given: names
// and key sets, keys (those becoming a left click first), X/Y, level count, levels, current
// level, performance, lighting, power, pointer settings. Nothing when they agree. An error
// naming the field when a key's function has no command (a word `assign` does not take).
std::optional<std::vector<DocumentChange>> ChangesToDocument(const ProfileRecord& current, int currentDpiLevel,
                                                             const ProfileDocument& document, const ApplyRules& rules,
                                                             QString& error);

// Makes `changes` on a copy of `current` as the commands would: the message of the first
// refused one (with its field), or of a field that does not come out as the document asks
// (the level count decides `hidden`, so it is not compared). Empty when all go through.
QString TryChanges(const ProfileRecord& current, int currentDpiLevel, const std::vector<DocumentChange>& changes,
                   const ProfileDocument& document);

}  // namespace zorvan::cli
