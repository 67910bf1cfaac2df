// Profile import over arbitrary ".qxa" files, followed by what the program does after a
// successful import: the write of the import's areas to the mouse, and an export. An import
// either takes the file as a whole or changes nothing (neither the profile nor the macro
// library); macro files it writes stay inside the macro folder.
#include "fuzz_world.h"

#include "app/configuration.h"
#include "app/paths.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "profile/apply_request.h"
#include "profile/function_codes.h"
#include "profile/profile_transfer.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"

#include <QDir>
#include <QFileInfo>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace zorvan;

bool SameLibrary(const std::vector<StMacro>& a, const std::vector<StMacro>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(StMacro) * a.size()) == 0;
}

}  // namespace

// Input: model selector, then the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    fuzz::SetUpWorld();
    fuzz::UseModel(data[0]);
    fuzz::ResetSessionProfiles();
    fuzz::ResetLibrary();
    const QString path =
        fuzz::WriteDataFile(QStringLiteral("in.qxa"), QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));

    const ProfileRecord before = *CurrentProfileCopy();
    const std::vector<StMacro> library = Macros().All();
    const std::optional<ProfileImport> imported = ImportProfile(path);
    if (!imported) {
        const ProfileRecord now = *CurrentProfileCopy();
        fuzz::Expect(std::memcmp(&now, &before, sizeof now) == 0, "a refused import changed the profile");
        fuzz::Expect(SameLibrary(Macros().All(), library), "a refused import changed the macro library");
        return 0;
    }
    fuzz::Expect(CurrentProfileCopy()->id == before.id, "the import took the file's profile id");
    const ProfileRecord now = *CurrentProfileCopy();
    for (int set = 0; set < kKeySets; ++set) {
        for (int k = 0; k < kKeysPerSet; ++k) {
            const KeyAssignment* key = now.KeyAt(set, k);
            fuzz::Expect(key->Major() != kClassMacro || Macros().Contains(key->dwMacroID & 0xFFFFFF),
                         "an imported macro key refers to no macro");
        }
    }
    const int level = g_nCurDpiLevel.load();
    fuzz::Expect(level >= 0 && level < kDpiLevels, "imported DPI level outside the levels");
    // Every file the import wrote lies in the macro folder itself.
    const QStringList written = QDir(MacroFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : written)
        fuzz::Expect(QFileInfo(MacroFolder() + u'/' + name).isFile(), "the import made something else than a file");
    const QStringList top = QDir(Paths().dataDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : top) {
        fuzz::Expect(name == QStringLiteral("in.qxa") || name == QStringLiteral("Mac") ||
                         name.startsWith(QStringLiteral("PRO_")) || name == QStringLiteral("out.qxa"),
                     "the import wrote beside the macro folder");
    }

    fuzz::DirectMouse mouse(fuzz::FactoryImage());
    const std::optional<WriteSnapshot> snapshot = TakeWriteSnapshot();
    fuzz::Expect(snapshot.has_value(), "no snapshot after an import");
    WriteSettings(mouse.Link(), *snapshot, imported->request.flags & ~apply::kSystemPointer, imported->request.data);
    fuzz::Expect(ExportProfile(Paths().dataDir + QStringLiteral("out.qxa")), "export after an import failed");
    return 0;
}
