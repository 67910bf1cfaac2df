#pragma once
// The keys of the language texts ("tc_title", "tc_msg15", ...).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {

// A key, or a numbered family "tc_msg1".."tc_msg38" when `count` is not 0.
struct TextKeyGroup {
    const char* name;
    int count = 0;
};

inline constexpr TextKeyGroup kTextKeyGroups[] = {
    {"tc_title"}, {"tc_lodtips"}, {"tc_fwver"}, {"tc_appdata"}, {"tc_config"}, {"tc_exit"},
    {"tc_version"}, {"tc_restore"}, {"tc_reset"}, {"tc_ok"}, {"tc_cancel"}, {"tc_apply"},
    {"tc_profile"}, {"tc_tips"}, {"tc_str", 3}, {"tc_page", 4},
    // macro editor
    {"tc_macro_stop"}, {"tc_macro_start"}, {"tc_macro_list"}, {"tc_macro_key_list"}, {"tc_macro_auto"},
    {"tc_macro_loop"}, {"tc_macro_loop1"}, {"tc_macro_loop2"}, {"tc_macro_loop3"}, {"tc_macro_msg", 22},
    // button functions
    {"tc_msfun"}, {"tc_click"}, {"tc_menu"}, {"tc_middle"}, {"tc_forward"}, {"tc_back"}, {"tc_dbclick"},
    {"tc_rdbclick"}, {"tc_scrollup"}, {"tc_scrolldown"}, {"tc_mac_def"}, {"tc_key_off"}, {"tc_PL"},
    {"tc_stop"}, {"tc_pre_media"}, {"tc_next_media"}, {"tc_vol_up"}, {"tc_vol_dw"}, {"tc_mute"},
    {"tc_kbmedia_forward"}, {"tc_kbmedia_back"}, {"tc_kbmedia_stop"}, {"tc_kbmedia_search"},
    {"tc_kbmedia_mail"}, {"tc_kbmedia_main"}, {"tc_kbmedia_explore"}, {"tc_kbmedia_cal"},
    {"tc_kbmedia_refresh"}, {"tc_kbmedia_favor"}, {"tc_kbmedia_msel"}, {"tc_combokey"}, {"tc_media"},
    {"tc_combo_tips"}, {"tc_web"}, {"tc_mainweb"}, {"tc_dpi"}, {"tc_dpiadd"}, {"tc_dpisub"},
    {"tc_dpiloop"}, {"tc_dpirange"}, {"tc_three"}, {"tc_fire"}, {"tc_rgb"}, {"tc_snipe"},
    {"tc_singlekey"}, {"tc_windows"}, {"tc_shift"}, {"tc_reportsw"}, {"tc_customkey"}, {"tc_rgbsw"},
    {"tc_error"}, {"tc_prosw"},
    // the desktop: the mouse's state in the window, tray switches, notifications, title buttons
    {"tc_state_nomouse"}, {"tc_state_mouseoff"}, {"tc_state_noaccess"}, {"tc_autostart"}, {"tc_notify"},
    {"tc_battery_low"}, {"tc_battery_full"}, {"tc_minimize"}, {"tc_close"}, {"tc_about"}, {"tc_language"},
    {"tc_apply_ask"},
    // messages, lighting, tips
    {"tc_msg", 38}, {"tc_mode", 3}, {"tc_led_mode", 7}, {"tc_led_eft", 4}, {"tc_adv_str", 30},
    {"tc_tip", 5}, {"tc_ex", 3}, {"tc_comboname", 2}, {"tc_debounce_tips"},
    // whole-mouse backup and restore
    {"tc_backup", 6},
};

// The number of keys, counted from the table so that the two can never disagree.
inline constexpr std::size_t kTextKeyCount = [] {
    std::size_t n = 0;
    for (const TextKeyGroup& g : kTextKeyGroups)
        n += g.count == 0 ? 1 : std::size_t(g.count);
    return n;
}();

// Every key, in the order a language file is searched.
const std::vector<std::string>& TextKeys();

// Position of `key` in TextKeys(), or -1 for a name that is no text key.
int TextKeyIndex(std::string_view key);

}  // namespace zorvan
