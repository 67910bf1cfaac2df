#include "fuzz_world.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "device/event_dispatch.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/time_stamp_id.h"
#include "profile/factory_image.h"
#include "profile/profile_defaults.h"
#include "profile/profile_pauses.h"
#include "profile/profile_state.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <map>
#include <mutex>
#include <unistd.h>

namespace zorvan::fuzz {
namespace {

// The command interface of DirectMouse: a feature report goes straight to the firmware.
class DirectHandle : public HidHandle {
public:
    explicit DirectHandle(std::shared_ptr<MouseFirmware> firmware) : firmware_(std::move(firmware)) {}
    HidStatus SendFeatureReport(const HidReport& report) override
    {
        if (!firmware_->HandleFeatureReport(report.data(), report.size()))
            return {HidError::kNotConnected, ENODEV};
        return {};
    }
    HidStatus ReadInputReport(HidReport&, size_t& length, int) override
    {
        length = 0;
        return {HidError::kTimeout, 0};
    }
    void CancelRead() override {}
    HidStatus GetAttributes(HidAttributes&) override { return {}; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    int LogId() const override { return 1; }

private:
    std::shared_ptr<MouseFirmware> firmware_;
};

std::vector<int> ModelIndexes()
{
    std::vector<int> models;
    for (int i = 0; i < kDeviceSlots; ++i) {
        if (Config().devices[size_t(i)].HoldsModel())
            models.push_back(i);
    }
    return models;
}

StMacro LibraryMacro(uint32_t id, const char16_t* name, int events)
{
    StMacro m = NewEmptyMacro(QString::fromUtf16(name));
    m.id = id;
    for (int i = 0; i < events; ++i)
        m.events[i] = {uint16_t(i % 2 == 0 ? 'A' + i % 26 : 0xF0 + i % 5), uint16_t(i % 3), uint32_t(i * 7)};
    return m;
}

}  // namespace

void SetUpWorld()
{
    static std::once_flag once;
    std::call_once(once, [] {
        SetMessageHandler([](const ShownMessage&) {});
        SetDebugOutput([](const std::string&) {});
        if (!LoadConfiguration(QStringLiteral(ZORVAN_SOURCE_DIR "/data/cfg.ini"), QString(), Config())) {
            std::fprintf(stderr, "fuzz: cannot load %s/data/cfg.ini\n", ZORVAN_SOURCE_DIR);
            std::abort();
        }
        ResetLog();
        Pauses() = ProfilePauses{std::chrono::milliseconds(0), std::chrono::milliseconds(0),
                                 std::chrono::milliseconds(0), std::chrono::milliseconds(0),
                                 std::chrono::milliseconds(0)};
        SetTimeStampIdPause(std::chrono::milliseconds(0));
        static std::string data =
            std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/zorvan-fuzz-XXXXXX";
        Expect(::mkdtemp(data.data()) != nullptr, "no temporary data folder");
        std::atexit([] { RemoveTree(data); });
        Paths().dataDir = QFile::decodeName(data.c_str()) + u'/';
    });
}

int UseModel(uint8_t selector)
{
    static const std::vector<int> models = ModelIndexes();
    const int index = models[selector % models.size()];
    Config().SetCurrentDeviceIndex(index);
    Config().CopyDefaultKeys();
    return index;
}

const std::array<ProfileRecord, ProfileList::kCount>& NewProfiles()
{
    static std::map<int, std::array<ProfileRecord, ProfileList::kCount>> made;
    const int model = Config().CurrentDeviceIndex();
    auto it = made.find(model);
    if (it == made.end()) {
        std::array<ProfileRecord, ProfileList::kCount> records{};
        for (int i = 0; i < ProfileList::kCount; ++i)
            records[size_t(i)] = MakeNewProfile(u"fuzz");
        it = made.emplace(model, records).first;
    }
    return it->second;
}

void ResetSessionProfiles()
{
    ProfileState& state = Profiles();
    {
        std::lock_guard lock(state.profileLock);
        state.profiles.Assign(NewProfiles(), NewProfiles()[0].id);
        state.macroNames = {};
    }
    state.syncFlag = true;
    g_nCurDpiLevel = -1;
}

std::vector<StMacro> LibraryMacros()
{
    std::vector<StMacro> macros{LibraryMacro(1, u"plain", 4), LibraryMacro(2, u"full", kMacroEventSlots),
                                LibraryMacro(3, u"odd repeat", 10), LibraryMacro(4, u"", 2)};
    macros[2].repeatCount = 300;
    macros[2].loopMode = 9;
    for (int i = 0; i < kMacroNameUnits; ++i)
        macros[3].name[i] = u'x';
    return macros;
}

void ResetLibrary()
{
    static const std::vector<StMacro> macros = LibraryMacros();
    QDir(MacroFolder()).removeRecursively();
    ForgetMacroFiles();
    Macros().Clear();
    for (const StMacro& m : macros)
        Macros().AddCopy(m);
}

void Expect(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::abort();
}

QString WriteDataFile(const QString& name, const QByteArray& bytes)
{
    const QString path = Paths().dataDir + name;
    QFile file(path);
    Expect(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "input not written");
    return path;
}

void RemoveTree(const std::string& root)
{
    const auto remove = [](const char* path, const struct stat*, int, struct FTW*) {
        ::remove(path);
        return 0;
    };
    ::nftw(root.c_str(), remove, 16, FTW_DEPTH | FTW_PHYS);
}

DirectMouse::DirectMouse(const eeprom::ProfileImage& image)
{
    const DeviceDescription& model = *CurrentDevice();
    eeprom::ProfileImages images{};
    images.fill(image);
    firmware_ = std::make_shared<MouseFirmware>(uint8_t(model.CID), uint8_t(model.MID), images);
    const auto answer = [this](const HidReport& report, std::chrono::milliseconds) {
        DispatchInputReport(report.data(), report.size(), replies_, nullptr);
    };
    firmware_->SetSinks(answer, {});
    link_.timing = ExchangeTiming{std::chrono::milliseconds(0), std::chrono::milliseconds(0),
                                  std::chrono::milliseconds(0), std::chrono::milliseconds(0)};
    link_.SetHandles(std::make_shared<DirectHandle>(firmware_), nullptr);
}

eeprom::ProfileImage FactoryImage()
{
    static std::map<int, eeprom::ProfileImage> made;
    const int model = Config().CurrentDeviceIndex();
    auto it = made.find(model);
    if (it == made.end()) {
        const auto built = BuildFactoryImages(*CurrentDevice());
        eeprom::ProfileImage image{};
        std::copy_n(built[0].begin(), std::min(built[0].size(), image.size()), image.begin());
        it = made.emplace(model, image).first;
    }
    return it->second;
}

}  // namespace zorvan::fuzz
