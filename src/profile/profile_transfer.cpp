#include "profile/profile_transfer.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/time_stamp_id.h"
#include "profile/function_codes.h"
#include "profile/profile_import_fit.h"
#include "profile/profile_state.h"
#include "text/language_texts.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

namespace zorvan {
namespace {

constexpr qsizetype kRecordSize = qsizetype(sizeof(ProfileRecord));
constexpr qsizetype kMacroSize = qsizetype(sizeof(StMacro));
static_assert(kRecordSize + kProfileExportMacros * kMacroSize == kProfileExportSize);

// A language text, or `fallback` when the language has none.
QString TextOr(std::string_view key, const QString& fallback)
{
    const QString text = GetText(key);
    return text.isEmpty() ? fallback : text;
}

// Calls `visit` for every macro key of the three key sets, in order.
template <typename Record, typename Visit>
void ForEachMacroKey(Record& profile, Visit visit)
{
    for (int set = 0; set < kKeySets; ++set) {
        for (int k = 0; k < kKeysPerSet; ++k) {
            auto* key = profile.KeyAt(set, k);
            if (key->Major() == kClassMacro)
                visit(*key);
        }
    }
}

// The file's macro record with this id (empty fileMacros have id 0 and never match).
const StMacro* FindInFile(const std::array<StMacro, kProfileExportMacros>& fileMacros, uint32_t id)
{
    if (id == 0)
        return nullptr;
    const auto it = std::find_if(fileMacros.begin(), fileMacros.end(), [id](const StMacro& m) { return m.id == id; });
    return it == fileMacros.end() ? nullptr : &*it;
}

// Whether every file macro the keys use can go into the library: each must be a macro record
// (an overwrite with another record would leave a library entry no reader accepts), and the
// new ones must fit. Checked before anything changes, so a refused import leaves the library
// as it was instead of holding the macros merged before the one that failed.
bool FileMacrosFit(const ProfileRecord& record, const std::array<StMacro, kProfileExportMacros>& fileMacros)
{
    bool fit = true;
    std::vector<uint32_t> added;
    ForEachMacroKey(record, [&](const KeyAssignment& key) {
        const StMacro* found = FindInFile(fileMacros, key.dwMacroID);
        if (!fit || found == nullptr)
            return;
        const uint32_t magic = found->magic;
        const uint32_t id = found->id;
        if (magic != kMacroMagic) {
            Log("Add_Macro: FAILED, dwMagicNumber=0x%x", magic);
            fit = false;
        } else if (!Macros().Contains(id) && std::find(added.begin(), added.end(), id) == added.end()) {
            added.push_back(id);
        }
    });
    if (fit && Macros().Count() + int(added.size()) > kMacroLibraryMax) {
        Log("ImportProfile: %d new macro(s) do not fit into the macro library", int(added.size()));
        fit = false;
    }
    return fit;
}

// Puts the file's macros into the library: a macro the library knows by id is overwritten,
// another is added under a new id that the keys using it take. False when a macro cannot be
// added: the import then ends without changing the profile.
bool MergeFileMacros(ProfileRecord& record, const std::array<StMacro, kProfileExportMacros>& fileMacros)
{
    if (!FileMacrosFit(record, fileMacros))
        return false;
    std::map<uint32_t, uint32_t> newIds;  // file id → id given in this import
    bool ok = true;
    ForEachMacroKey(record, [&](KeyAssignment& key) {
        if (!ok)
            return;
        const StMacro* found = FindInFile(fileMacros, key.dwMacroID);
        if (found == nullptr)
            return;
        const uint32_t fileId = found->id;  // by value: the record's fields are packed
        if (const auto given = newIds.find(fileId); given != newIds.end()) {
            key.dwMacroID = given->second;
            return;
        }
        if (Macros().Contains(fileId)) {
            ReplaceMacro(*found);
            return;
        }
        StMacro added = *found;
        added.id = NewTimeStampId();
        if (!AddMacroFromProfile(added)) {
            ok = false;
            return;
        }
        newIds[fileId] = added.id;
        key.dwMacroID = added.id;
    });
    return ok;
}

}  // namespace

bool ExportProfile(const QString& filePath)
{
    const int level = g_nCurDpiLevel.load();
    ProfileRecord record{};
    if (!EditCurrentProfile([&](ProfileRecord& current) {
            current.savedDpiLevel = level;
            record = current;
        }))
        return false;
    Log("ExportProfile: g_nCurDpiLevel=%d", level);

    QByteArray image(kProfileExportSize, '\0');
    std::memcpy(image.data(), &record, size_t(kRecordSize));
    // Keys sharing a macro share its record: the ten records hold ten different macros.
    std::vector<uint32_t> stored;
    ForEachMacroKey(record, [&](const KeyAssignment& key) {
        const uint32_t id = key.dwMacroID & 0xFFFFFF;
        if (stored.size() == size_t(kProfileExportMacros) || std::find(stored.begin(), stored.end(), id) != stored.end())
            return;
        const std::optional<StMacro> macro = Macros().FindById(id);
        if (!macro)
            return;
        std::memcpy(image.data() + kRecordSize + kMacroSize * qsizetype(stored.size()), &*macro, size_t(kMacroSize));
        stored.push_back(id);
    });
    if (!MyCreateFile(filePath, image).Ok()) {
        ShowMessage(QStringLiteral("Error"), QStringLiteral("Create profile failed."));
        return false;
    }
    return true;
}

std::optional<ProfileImport> ImportProfile(const QString& filePath, bool underPid)
{
    const std::optional<ProfileRecord> current = CurrentProfileCopy();
    if (!current)
        return std::nullopt;
    const DeviceDescription* currentDevice = CurrentDevice();
    const DeviceDescription device = currentDevice != nullptr ? *currentDevice : DeviceDescription{};
    if (!Profiles().syncFlag.load()) {
        ShowMessage(QStringLiteral("Warning"), GetText("tc_adv_str15"));
        return std::nullopt;
    }
    QFile file(filePath);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const int error = errno != 0 ? errno : int(file.error());
        const QString tip = GetText("tc_tip2");
        ShowMessage(QStringLiteral("Error"), tip.isEmpty() ? QStringLiteral("Open Profile Err = %1").arg(error)
                                                           : QStringLiteral("%1 %2").arg(tip).arg(error));
        return std::nullopt;
    }
    QByteArray image = file.read(kProfileExportSize);
    if (image.isEmpty()) {
        ShowMessage(QStringLiteral("Error"), QStringLiteral("Read profile failed."));
        return std::nullopt;
    }
    image.resize(kProfileExportSize, '\0');  // a short file: what is missing reads as zero
    ProfileRecord record{};
    std::memcpy(&record, image.constData(), size_t(kRecordSize));
    if (!record.IsValid()) {
        ShowMessage(QStringLiteral("Error"), TextOr("tc_tip3", QStringLiteral("This is not a valid profile")));
        return std::nullopt;
    }
    std::array<StMacro, kProfileExportMacros> fileMacros{};
    std::memcpy(fileMacros.data(), image.constData() + kRecordSize, size_t(kMacroSize) * fileMacros.size());
    const auto macroKnown = [&fileMacros](uint32_t id) {
        return FindInFile(fileMacros, id) != nullptr || Macros().Contains(id & 0xFFFFFF);
    };
    const ImportFit fit = FitImportToModel(record, *current, device, macroKnown);
    if (!fit.refusal.isEmpty()) {
        ShowMessage(QStringLiteral("Error"), fit.refusal);
        return std::nullopt;
    }
    if (!MergeFileMacros(record, fileMacros))
        return std::nullopt;

    if (!EditCurrentProfile([&record](ProfileRecord& target) {
            const uint32_t ownId = target.id;
            target = record;
            target.id = ownId;
        }))
        return std::nullopt;
    int level = record.savedDpiLevel;
    Log("ImportProfile: g_nCurDpiLevel=%d", level);
    const int levels = currentDevice != nullptr ? std::min(device.DpiLevelCount, kDpiLevels) : kDpiLevels;
    if (level < 0 || level >= levels)
        level = 0;
    g_nCurDpiLevel.store(level);
    if (!fit.changes.isEmpty())
        ShowMessage(QStringLiteral("Warning"), QStringLiteral("The imported profile was changed to fit this mouse:\n") +
                                                   fit.changes.join(u'\n'));
    ApplyRequest request = ImportRequest(device, underPid);
    request.flags |= apply::kVerify;
    return ProfileImport{request, fit.changes};
}

}  // namespace zorvan
