#pragma once
// The macro folder on disk and the file operations of the macro library. Every file is written
// whole (a temporary file in the same folder, synced and renamed over the target), so a crash or
// a full disk never leaves a truncated macro file, and a failed write leaves the old file as it
// was.
#include "macro/st_macro.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace zorvan {

// The data folder followed by "Mac" (no trailing slash); empty while no data folder is set.
QString MacroFolder();

// A file or folder name formed from a macro or folder name that may come from outside (the
// mouse, an imported file): "/", "\", NUL and other control characters become "_", every ".."
// becomes "__", and an empty name or "." becomes "_". The result never leaves its folder.
QString SafeFileName(const QString& name);

// Where a macro without a tree item is written: the file it was last read from or written to
// (RememberMacroFile) while that file still holds it, wherever in the macro folder it is;
// otherwise "<macro folder>/<safe name>.qxm", unless that file holds another macro (names made
// safe alike, macros without a name); then the first of "<safe name> (2).qxm", "<safe name>
// (3).qxm", … that is free or holds this macro. Empty while there is no macro folder.
QString MacroFilePath(const QString& macroName, uint32_t macroId);
// Notes that the macro `macroId` was read from or written to `path`.
void RememberMacroFile(uint32_t macroId, const QString& path);
// Forgets every file RememberMacroFile noted (the macro folder was emptied).
void ForgetMacroFiles();
// The first of `name`, "`name` (2)", "`name` (3)", … for which `taken` is false.
QString FirstFreeName(const QString& name, const std::function<bool(const QString&)>& taken);

// Creates every missing folder of the directory part of `filePath`; an existing folder is
// accepted. A failure logs "MakeSureFolderExist: create dir %s, err=0x%x".
bool MakeSureFolderExist(const QString& filePath);

struct FileWriteResult {
    enum Stage { kDone, kCreate, kWrite } stage = kDone;
    int error = 0;  // errno of the failing step
    bool Ok() const { return stage == kDone; }
};

// Writes `bytes` as the whole new content of `path`, creating missing folders first when the
// folder is missing. A create failure logs "MyCreateFile: %s, error=0x%x"; a write failure is
// returned for the caller's own log line. The content goes to ".<name>.<pid>-<random>.part"
// beside the target first and is renamed over it once it is on disk; a replaced file keeps its
// permissions.
FileWriteResult MyCreateFile(const QString& path, const QByteArray& bytes);

// A file of a write that never finished (the program was killed while it wrote): it may hold a
// whole macro image, but it is not a macro file of its own.
bool IsPartialSave(const QString& fileName);

// Copies `source` to `target` without replacing an existing target, creating the target's
// folders when missing. Failures log "MyCopyFile: %s, error=0x%x" (source path).
bool MyCopyFile(const QString& source, const QString& target);

// Deletes the files and sub-folders of `path` (sub-folders whose names begin with "." or "$"
// are left alone), then the folder itself. A file that cannot be deleted logs
// "DeleteFile %s, err=%d" and stops the deletion. On failure `error` receives the errno.
bool DeleteFolderTree(const QString& path, int* error = nullptr);

// The macro held by a regular file's first 834 bytes, or nothing (unreadable, short, wrong magic).
std::optional<StMacro> ReadMacroFile(const QString& path);

// Writes the rotated image of `macro` with its dirty bits cleared.
FileWriteResult WriteMacroFile(const QString& path, const StMacro& macro);

}  // namespace zorvan
