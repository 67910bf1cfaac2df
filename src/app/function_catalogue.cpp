#include "app/function_catalogue.h"

#include <algorithm>
#include <array>

namespace zorvan {
namespace {

using G = MenuGroup;
using D = FunctionDetails;
constexpr int32_t kNone = kNoFixedCode;
constexpr uint16_t kNoUsage = kNoConsumerUsage;

// dwFunID, name, name while empty, word, menu group and order, details, fixed hardware code,
// read back, consumer usage. The order is that of zorvanctl's lists: the plain words, the
// functions without a word, the functions with details, the media and application keys.
constexpr std::array<FunctionEntry, 45> kCatalogue = {{
    {kFunLeftClick, "tc_click", nullptr, "left", G::kFirst, 0, D::kNone, 0x000101, true, kNoUsage},
    {kFunRightClick, "tc_menu", nullptr, "right", G::kFirst, 1, D::kNone, 0x000201, true, kNoUsage},
    {kFunMiddleButton, "tc_middle", nullptr, "middle", G::kFirst, 2, D::kNone, 0x000401, true, kNoUsage},
    {kFunForward, "tc_forward", nullptr, "forward", G::kFirst, 3, D::kNone, 0x001001, true, kNoUsage},
    {kFunBack, "tc_back", nullptr, "back", G::kFirst, 4, D::kNone, 0x000801, true, kNoUsage},
    {kFunKeyOff, "tc_key_off", nullptr, "off", G::kFirst, 11, D::kNone, 0x000000, true, kNoUsage},
    {kFunDpiUp, "tc_dpiadd", nullptr, "dpi-up", G::kDpi, 0, D::kNone, 0x000202, true, kNoUsage},
    {kFunDpiDown, "tc_dpisub", nullptr, "dpi-down", G::kDpi, 1, D::kNone, 0x000302, true, kNoUsage},
    {kFunDpiCycle, "tc_dpiloop", nullptr, "dpi-cycle", G::kDpi, 2, D::kNone, 0x000102, true, kNoUsage},
    {kFunRateSwitch, "tc_reportsw", nullptr, "rate-switch", G::kFirst, 6, D::kNone, 0x000007, true, kNoUsage},
    {kFunLightSwitch, "tc_rgb", nullptr, "light-switch", G::kFirst, 5, D::kNone, 0x000008, true, kNoUsage},
    {kFunLightOnOff, "tc_rgbsw", nullptr, "light-on-off", G::kFirst, 10, D::kNone, kNone, false, kNoUsage},
    {kFunProfileSwitch, "tc_prosw", nullptr, "profile-switch", G::kFirst, 7, D::kNone, 0x000009, true, kNoUsage},

    // The double click's code is also a fire key (count 2, interval 0x32); reading takes it as that.
    {kFunDoubleClick, "tc_dbclick", nullptr, nullptr, G::kNone, 0, D::kNone, 0x023204, false, kNoUsage},
    {kFunTripleClick, "tc_three", nullptr, nullptr, G::kNone, 0, D::kNone, 0x033204, true, kNoUsage},
    {kFunRightDoubleClick, "tc_rdbclick", nullptr, nullptr, G::kNone, 0, D::kNone, kNone, false, kNoUsage},
    {kFunShift, "tc_shift", nullptr, nullptr, G::kNone, 0, D::kNone, kNone, false, kNoUsage},
    {kFunKeySetSwitch, "tc_msg31", nullptr, nullptr, G::kNone, 0, D::kNone, kNone, false, kNoUsage},
    {kFunCustom, "tc_customkey", nullptr, nullptr, G::kNone, 0, D::kHardwareCode, kNone, false, kNoUsage},
    {kFunSpecialC0, nullptr, nullptr, nullptr, G::kNone, 0, D::kParameter, kNone, false, kNoUsage},

    {kFunFire, "tc_fire", nullptr, "fire", G::kFirst, 8, D::kFire, kNone, false, kNoUsage},
    {kFunSnipe, "tc_snipe", nullptr, "snipe", G::kSnipe, 0, D::kSnipe, kNone, false, kNoUsage},
    {kFunCombo, "tc_combokey", nullptr, "combo", G::kFirst, 9, D::kCombination, kNone, false, kNoUsage},

    {kFunMediaSelect, "tc_kbmedia_msel", nullptr, "media-select", G::kMedia, 0, D::kNone, kNone, false, 0x0183},
    {kFunPlayPause, "tc_PL", nullptr, "play-pause", G::kMedia, 1, D::kNone, kNone, false, 0x00CD},
    {kFunMediaStop, "tc_stop", nullptr, "stop", G::kMedia, 4, D::kNone, kNone, false, 0x00B7},
    {kFunPreviousTrack, "tc_pre_media", nullptr, "previous", G::kMedia, 3, D::kNone, kNone, false, 0x00B6},
    {kFunNextTrack, "tc_next_media", nullptr, "next", G::kMedia, 2, D::kNone, kNone, false, 0x00B5},
    {kFunVolumeUp, "tc_vol_up", nullptr, "volume-up", G::kMedia, 6, D::kNone, kNone, false, 0x00E9},
    {kFunVolumeDown, "tc_vol_dw", nullptr, "volume-down", G::kMedia, 7, D::kNone, kNone, false, 0x00EA},
    {kFunMute, "tc_mute", nullptr, "mute", G::kMedia, 5, D::kNone, kNone, false, 0x00E2},
    {kFunMail, "tc_kbmedia_mail", nullptr, "mail", G::kMedia, 8, D::kNone, kNone, false, 0x018A},
    {kFunCalculator, "tc_kbmedia_cal", nullptr, "calculator", G::kMedia, 9, D::kNone, kNone, false, 0x0192},
    {kFunFileBrowser, "tc_kbmedia_explore", nullptr, "computer", G::kMedia, 10, D::kNone, kNone, false, 0x0194},
    {kFunWebSearch, "tc_kbmedia_search", nullptr, "search", G::kMedia, 12, D::kNone, kNone, false, 0x0221},
    {kFunWebHome, "tc_kbmedia_main", nullptr, "home", G::kMedia, 11, D::kNone, kNone, false, 0x0223},
    {kFunWebBack, "tc_kbmedia_back", "tc_back", "web-back", G::kMedia, 14, D::kNone, kNone, false, 0x0224},
    {kFunWebForward, "tc_kbmedia_forward", "tc_forward", "web-forward", G::kMedia, 13, D::kNone, kNone, false, 0x0225},
    {kFunWebStop, "tc_kbmedia_stop", nullptr, "web-stop", G::kMedia, 15, D::kNone, kNone, false, 0x0226},
    {kFunWebRefresh, "tc_kbmedia_refresh", nullptr, "refresh", G::kMedia, 16, D::kNone, kNone, false, 0x0227},
    {kFunWebBookmarks, "tc_kbmedia_favor", nullptr, "favorites", G::kMedia, 17, D::kNone, kNone, false, 0x022A},

    {kFunMacro, "tc_mac_def", nullptr, "macro", G::kFirst, 15, D::kMacro, kNone, false, kNoUsage},
    {kFunExtra + 0, "tc_ex1", nullptr, "extra", G::kFirst, 12, D::kExtraKey, kNone, false, kNoUsage},
    {kFunExtra + 1, "tc_ex2", nullptr, "extra", G::kFirst, 13, D::kExtraKey, kNone, false, kNoUsage},
    {kFunExtra + 2, "tc_ex3", nullptr, "extra", G::kFirst, 14, D::kExtraKey, kNone, false, kNoUsage},
}};

constexpr std::array<MenuGroupRow, 3> kGroupRows = {{
    {G::kDpi, FunId(kClassSpecial, 0), "tc_dpi", 16},
    {G::kMedia, FunId(kClassMedia, 0), "tc_media", 17},
    {G::kSnipe, kFunSnipe, "tc_adv_str28", 18},
}};

template <typename Pred>
const FunctionEntry* FindIf(Pred pred)
{
    const auto it = std::find_if(kCatalogue.begin(), kCatalogue.end(), pred);
    return it == kCatalogue.end() ? nullptr : &*it;
}

}  // namespace

std::span<const FunctionEntry> FunctionCatalogue()
{
    return kCatalogue;
}

const FunctionEntry* FindFunction(uint32_t dwFunID)
{
    return FindIf([dwFunID](const FunctionEntry& f) { return f.dwFunID == dwFunID; });
}

const FunctionEntry* FunctionOfKey(uint32_t dwFunID)
{
    switch (FunClass(dwFunID)) {
    case kClassCombo: return FindFunction(kFunCombo);
    case kClassMacro: return FindFunction(kFunMacro);
    default: return FindFunction(dwFunID);
    }
}

const FunctionEntry* FindFunctionByCode(uint32_t code)
{
    return FindIf([code](const FunctionEntry& f) {
        const uint32_t c = f.Class();
        return c != kClassCombo && c != kClassMacro && c != kClassExtra && f.Code() == FunCode(code);
    });
}

const FunctionEntry* FindFunctionByWord(std::string_view word, bool media)
{
    return FindIf([word, media](const FunctionEntry& f) {
        return f.word != nullptr && IsConsumerClass(f.Class()) == media && word == f.word;
    });
}

const FunctionEntry* FindFunctionByUsage(uint16_t usage)
{
    return FindIf([usage](const FunctionEntry& f) { return f.usage != kNoConsumerUsage && f.usage == usage; });
}

std::span<const MenuGroupRow> MenuGroupRows()
{
    return kGroupRows;
}

}  // namespace zorvan
