#pragma once
// Export and import of one profile with the macros its macro keys use (".qxa", 10444 bytes:
// the record, then up to ten 834-byte macro records). The file dialogs are the caller's; these
// take the chosen path. Failures the user must see are shown through ShowMessage.
#include <QString>

namespace zorvan {

constexpr qsizetype kProfileExportSize = 10444;
constexpr int kProfileExportMacros = 10;

// Writes the current profile (with the current DPI level in its saved-level field) and the
// library macros of its first ten macro keys to `filePath`. "Create profile failed." when the
// file cannot be written. False without a current profile or on failure.
bool ExportProfile(const QString& filePath);

// Reads `filePath` and makes it the current profile (keeping the current profile's id), after
// merging its macros into the library (same id → the library macro is overwritten; otherwise
// added with a new id). Refused while a profile read runs (tc_adv_str15), for an unreadable
// file, or for a record that is not a profile. On success the caller refreshes what shows the
// profile and posts the apply request (apply::kImportFlags, apply::kAll).
bool ImportProfile(const QString& filePath);

}  // namespace zorvan
