#include "app/option_keys.h"

namespace zorvan {
namespace {

using O = AppOptions;

OptionKey Int(const char* key, int32_t O::*field, int32_t def, ValueRange range = {})
{
    return OptionKey{key, OptionKind::Int, field, nullptr, nullptr, nullptr, nullptr, def, 0, {}, {}, range};
}
OptionKey Ignored(const char* key, int32_t def)
{
    return OptionKey{key, OptionKind::IntIgnored, nullptr, nullptr, nullptr, nullptr, nullptr, def};
}
OptionKey U16(const char* key, uint16_t O::*field, int32_t def)
{
    return OptionKey{key, OptionKind::U16, nullptr, field, nullptr, nullptr, nullptr, def};
}
OptionKey Text(const char* key, QString O::*field, int maxChars)
{
    return OptionKey{key, field ? OptionKind::Text : OptionKind::TextIgnored, nullptr, nullptr, field, nullptr, nullptr,
                     0, maxChars};
}
OptionKey Colour(const char* key, int32_t O::*field, int32_t def)
{
    return OptionKey{key, OptionKind::Colour, field, nullptr, nullptr, nullptr, nullptr, def};
}
OptionKey RectKey(const char* key, Rect O::*field, Rect def)
{
    return OptionKey{key, field ? OptionKind::Rect : OptionKind::RectIgnored, nullptr, nullptr, nullptr, field, nullptr,
                     0, 0, def};
}
OptionKey PointKey(const char* key, Point O::*field, Point def)
{
    return OptionKey{key, OptionKind::Point, nullptr, nullptr, nullptr, nullptr, field, 0, 0, {}, def};
}

std::vector<OptionKey> Build()
{
    return {
        Int("Suwnd", &O::Suwnd, 1),
        Int("ApplyNow", &O::ApplyNow, 0),
        Int("BtnTips", &O::BtnTips, 0),
        Int("MenuItems", &O::MenuItems, 13, kMenuRowsRange),
        Int("TipForDebounce", &O::TipForDebounce, 0, kLayoutRange),
        Int("OldAdvDlg", &O::OldAdvDlg, 0),
        Int("EnhancePrecision", &O::EnhancePrecision, 1),
        Int("Debounce", &O::Debounce, 12),
        Int("DebounceRange", &O::DebounceRange, 0x1E00),
        Ignored("ShowWelcome", 0),
        Int("ShowProfile", &O::ShowProfile, 1),
        Int("ComboRec", &O::ComboRec, 1),
        Int("FontSize", &O::FontSize, 12, kFontSizeRange),
        Int("ShowPower", &O::ShowPower, 0),
        Int("SyncChangeDpiLevel", &O::SyncChangeDpiLevel, 0),
        Int("MinDelay", &O::MinDelay, 10, kMacroDelayRange),
        Int("MacroDir", &O::MacroDir, 0),
        Int("MacroOptX", &O::MacroOptX, 756, kLayoutRange),
        Ignored("MacroHasMsKey", 0),
        Int("ListTrans", &O::ListTrans, 0),
        RectKey("rcMacroList", &O::rcMacroList, Rect{100, 85, 326, 464}),
        RectKey("rcKeyList", &O::rcKeyList, Rect{401, 85, 627, 464}),
        Colour("clrMacFrame", &O::clrMacFrame, 0),
        Int("InsertBefore", &O::InsertBefore, 1),
        Int("MinUIDelay", &O::MinUIDelay, 1, kMacroDelayRange),
        RectKey("rcSupprotBtn", nullptr, Rect{}),
        RectKey("rcHomePageBtn", &O::rcHomePageBtn, Rect{}),
        U16("VID", &O::VID, 0x25A7),
        U16("PID", &O::PID, 0xFA92),
        U16("PID2", &O::PID2, 0xFA99),
        Text("FontName", &O::FontName, 29),
        Text("USBString", nullptr, 259),
        Text("appdir", &O::appdir, 29),
        Text("Title", &O::Title, 39),
        Ignored("Sensor", 0),
        Int("Pop", &O::Pop, 0),
        Int("TrayIcon", &O::TrayIcon, 2),
        Ignored("AutoSw", 0),
        Int("GoWithNoDev", &O::GoWithNoDev, 0),
        Int("ExitType", &O::ExitType, 0),
        Int("ShowSys", &O::ShowSys, 1),
        Ignored("ShowPower", 1),  // read a second time; this read has no effect
        Int("ShowProSw", &O::ShowProSw, 1),
        Int("KeyMask", &O::KeyMask, 0),
        Int("UIDebug", &O::UIDebug, 0),
        Int("ShowFWUpdate", &O::ShowFWUpdate, 0),
        Int("Retry", &O::Retry, 3),
        Colour("Txt_clr", &O::Txt_clr, 0),
        Colour("Btn_txt_clr_nr", &O::Btn_txt_clr_nr, 0),
        Colour("Btn_txt_clr_ov", &O::Btn_txt_clr_ov, 0),
        Colour("Btn_txt_clr_dn", &O::Btn_txt_clr_dn, 0),
        Colour("Menu_txt_clr_nr", &O::Menu_txt_clr_nr, 0),
        Colour("Menu_txt_clr_ov", &O::Menu_txt_clr_ov, 0),
        Colour("LstBox_txt_clr_nr", &O::LstBox_txt_clr_nr, 0),
        Colour("LstBox_txt_clr_dn", &O::LstBox_txt_clr_dn, 0),
        Colour("LstBox_bkg_clr", &O::LstBox_bkg_clr, 0),
        Colour("LstBox_item_clr", &O::LstBox_item_clr, 0),
        Colour("clrEdit", &O::clrEdit, 0x141414),
        Colour("clrMask", &O::clrMask, 0),
        Colour("clrDpiMark", &O::clrDpiMark, 0x0000FF),
        Colour("clrMaskDialog", &O::clrMaskDialog, 0x00FF00),
        Int("ComboName1", &O::ComboName1, 0),
        Int("ComboName2", &O::ComboName2, 0),
        Int("ComboName3", &O::ComboName3, 0),
        Int("BarY", &O::BarY, 3, kLayoutRange),
        Int("DpiBarY", &O::DpiBarY, 12, kLayoutRange),
        Int("DpiSliderY", &O::DpiSliderY, 3, kLayoutRange),
        Int("ScaleY", &O::ScaleY, 4, kLayoutRange),
        Int("SliderY", &O::SliderY, 0, kLayoutRange),
        Int("MenuW", &O::MenuW, 0, kLayoutRange),
        Int("NaviW", &O::NaviW, 0, kLayoutRange),
        Int("RateVSp", &O::RateVSp, 67, kLayoutRange),
        PointKey("ptMin", &O::ptMin, Point{952, 12}),
        PointKey("ptNavi", &O::ptNavi, Point{25, 110}),
        PointKey("ptPower", &O::ptPower, Point{949, 66}),
        PointKey("ptApply", &O::ptApply, Point{867, 645}),
        PointKey("ptProfile", &O::ptProfile, Point{111, 30}),
        PointKey("ptKey", &O::ptKey, Point{72, 77}),
        PointKey("ptMoveSpeed", &O::ptMoveSpeed, Point{630, 325}),
        PointKey("ptScrollSpeed", &O::ptScrollSpeed, Point{630, 400}),
        PointKey("ptDbClickSpeed", &O::ptDbClickSpeed, Point{630, 475}),
        PointKey("ptDpiBar", &O::ptDpiBar, Point{120, 60}),
        PointKey("ptDpiEft", &O::ptDpiEft, Point{153, 420}),
        PointKey("ptDpiLight", &O::ptDpiLight, Point{100, 465}),
        PointKey("ptDpiSpeed", &O::ptDpiSpeed, Point{100, 490}),
        PointKey("ptLedEft", &O::ptLedEft, Point{130, 60}),
        PointKey("ptLight", &O::ptLight, Point{558, 366}),
        PointKey("ptSpeed", &O::ptSpeed, Point{558, 423}),
        PointKey("ptGradit", &O::ptGradit, Point{143, 189}),
        PointKey("ptResult", &O::ptResult, Point{80, 127}),
        PointKey("ptRGBEdit", &O::ptRGBEdit, Point{150, 133}),
        PointKey("ptLightOffOnMoving", &O::ptLightOffOnMoving, Point{558, 457}),
        PointKey("ptSleep", &O::ptSleep, Point{558, 483}),
        PointKey("ptGrid", &O::ptGrid, Point{100, 412}),
        PointKey("ptRecord", &O::ptRecord, Point{756, 54}),
        RectKey("rcSys", &O::rcSys, Rect{881, 406, 991, 514}),
        RectKey("rcSubDlg", &O::rcSubDlg, Rect{}),
    };
}

}  // namespace

const std::vector<OptionKey>& OptionKeys()
{
    static const std::vector<OptionKey> keys = Build();
    return keys;
}

}  // namespace zorvan
