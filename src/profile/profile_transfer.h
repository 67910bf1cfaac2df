#pragma once
// Export and import of one profile with the macros its macro keys use (".qxa", 10444 bytes:
// the record, then up to ten 834-byte macro records). The file dialogs are the caller's; these
// take the chosen path. Failures the user must see are shown through ShowMessage.
#include "profile/apply_request.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zorvan {

constexpr qsizetype kProfileExportSize = 10444;
constexpr int kProfileExportMacros = 10;

// Writes the current profile (with the current DPI level in its saved-level field) and the
// library macros its macro keys use to `filePath`, each macro once (keys sharing a macro share
// its record), at most ten. "Create profile failed." when the file cannot be written. False
// without a current profile or on failure.
bool ExportProfile(const QString& filePath);

// What a successful import asks of its caller.
struct ProfileImport {
    ApplyRequest request;  // post it (whatever ApplyNow says): it writes the profile to the mouse
    QStringList changes;   // what was changed to fit the mouse (also shown, see ImportProfile)
};

// Reads `filePath` and makes it the current profile (keeping the current profile's id), after
// merging its macros into the library (same id → the library macro is overwritten; otherwise
// added with a new id) and fitting it to the current model (FitImportToModel; the changes are
// shown in one "Warning" message). `underPid`: the mouse was found under the option PID, so its
// power settings are not written. Refused (nothing changes) while a profile read runs
// (tc_adv_str15), for an unreadable file, for a record that is not a profile, or when the
// profile cannot be fitted. On success the caller refreshes what shows the profile and posts
// the request.
std::optional<ProfileImport> ImportProfile(const QString& filePath, bool underPid = false);

}  // namespace zorvan
