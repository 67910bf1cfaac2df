#pragma once
// The profile record as zorvanctl prints it in JSON: the record's fields under the names of
// the command-line contract, plain integers, colours as stored (red in the low byte).
#include "profile/profile_record.h"

#include <QJsonObject>

namespace zorvan::cli {

QJsonObject ProfileToJson(const ProfileRecord& profile);

// {"profile": n, "current_dpi_level": n, "record": {...}} as `read` prints it.
QJsonObject ReadResultToJson(int profileIndex, int currentDpiLevel, const ProfileRecord& profile);

}  // namespace zorvan::cli
