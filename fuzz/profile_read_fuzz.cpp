// GetProfile over arbitrary EEPROM content: the emulated mouse serves the fuzzed image (and, if
// the input asks, loses answers, refuses requests or is unplugged on the way), the real read
// decodes it and the result is taken over and written back as the session and the apply worker
// would. Nothing may crash; a failed read changes nothing; what is taken over is in range; no
// library macro is overwritten; and a profile read from a mouse that made no faults can be
// written back to it.
#include "fuzz_world.h"

#include "app/configuration.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "profile/apply_request.h"
#include "profile/profile_read.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace zorvan;

constexpr uint32_t kWholeProfile = 0x1FFFF & ~(apply::kProgress | apply::kSystemPointer | apply::kReset);

// Input: model selector, option bits, unplug request (0: none), faults (kind in bits 0-1, number
// in bits 2-7), then the active profile's EEPROM from address 0 over the model's factory content.
struct Header {
    uint8_t model;
    uint8_t options;  // bit 0 GoWithNoDev, bit 1 every setting shown, bit 2 KeyMask 0x0005
    uint8_t unplugAt;
    uint8_t faults;
};

void ApplyOptions(uint8_t options)
{
    Config().opt.GoWithNoDev = options & 1;
    Config().opt.KeyMask = (options & 4) ? 0x0005 : 0;
    Config().opt.Retry = 2;
    if (options & 2) {
        DeviceDescription& d = Config().devices[size_t(Config().CurrentDeviceIndex())];
        d.ShowLOD = d.ShowRipple = d.ShowFixLine = d.ShowDebounce = 1;
        d.ShowMainEffect = d.ShowLogoEffect = d.ShowDpiLED = d.ShowDpi = 1;
    }
}

void CheckTakenOver(const ProfileReadExtras& extras)
{
    const std::optional<ProfileRecord> current = CurrentProfileCopy();
    fuzz::Expect(current.has_value(), "no current profile after a commit");
    const int level = g_nCurDpiLevel.load();
    fuzz::Expect(level >= -1 && level < kDpiLevels, "current DPI level outside the levels");
    const int count = current->LevelCount();
    fuzz::Expect(count >= 1 && count <= kDpiLevels, "level count outside 1..8");
    for (const ProfileReadExtras::DeviceMacro& read : extras.macros) {
        fuzz::Expect(read.key >= 0 && read.key < kKeysPerSet, "macro of a key outside the table");
        fuzz::Expect(MacroEventCount(read.macro) <= kMacroMaxEvents, "more events than a slot holds");
    }
    fuzz::Expect(Macros().Count() <= kMacroLibraryMax, "library beyond its bound");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::SetUpWorld();
    Header header{};
    const size_t skip = std::min(size, sizeof header);
    if (skip > 0)
        std::memcpy(&header, data, skip);
    data += skip;
    size -= skip;

    const Configuration saved = Config();
    fuzz::UseModel(header.model);
    fuzz::ResetSessionProfiles();
    fuzz::ResetLibrary();
    ApplyOptions(header.options);

    eeprom::ProfileImage image = fuzz::FactoryImage();
    if (size > 0)
        std::memcpy(image.data(), data, std::min(size, image.size()));
    fuzz::DirectMouse mouse(image);
    const int faults = header.faults >> 2;
    if (faults > 0)
        mouse.Firmware().InjectFault(FaultKind(header.faults & 3), faults);
    if (header.unplugAt > 0)
        mouse.Firmware().UnplugAtRequest(header.unplugAt);
    const bool faultless = faults == 0 && header.unplugAt == 0;

    const ProfileRecord before = *CurrentProfileCopy();
    std::atomic<bool> abort{false};
    ProfileRecord working = before;
    ProfileReadExtras extras;
    if (GetProfile(mouse.Link(), abort, working, extras)) {
        const std::vector<StMacro> library = Macros().All();
        fuzz::Expect(CommitProfileRead(0, working, extras), "commit of a complete read failed");
        // Macros from the mouse are added; a library macro is never overwritten.
        const std::vector<StMacro> merged = Macros().All();
        fuzz::Expect(merged.size() >= library.size() &&
                         std::memcmp(merged.data(), library.data(), sizeof(StMacro) * library.size()) == 0,
                     "a read overwrote a library macro");
        CheckTakenOver(extras);
        const std::optional<WriteSnapshot> snapshot = TakeWriteSnapshot();
        fuzz::Expect(snapshot.has_value(), "no snapshot after a commit");
        const bool written = WriteSettings(mouse.Link(), *snapshot, kWholeProfile, apply::kAll);
        fuzz::Expect(written || !faultless, "a profile read from the mouse cannot be written back to it");
    } else {
        const ProfileRecord now = *CurrentProfileCopy();
        fuzz::Expect(std::memcmp(&now, &before, sizeof now) == 0, "a failed read changed the profile");
    }
    Config() = saved;
    return 0;
}
