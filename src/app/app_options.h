#pragma once
// The [OPT] section of cfg.ini: application options, colours, layout, lighting effect options
// and the list of languages. Filled once by LoadConfiguration, read-only afterwards (except
// rcSubDlg, which the main window fills in when it is empty). Field names are the cfg keys.
#include "app/geometry.h"

#include <QString>

#include <array>
#include <cstdint>

namespace zorvan {

struct LedEffectOption {
    int32_t LevelA = 0;        // default speed; 0 hides the speed slider
    int32_t LevelB = 0;        // default brightness; 0 hides the brightness slider
    int32_t ColourChoice = 0;  // non-zero shows the colour controls
};

struct LanguageEntry {
    QString name;    // display name, at most 29 characters
    QString folder;  // language folder below the application folder, at most 29 characters
};

struct MacroLimits {
    int32_t minDelay = 10;
    int32_t maxDelay = 65535;
    int32_t maxEvents = 70;
    int32_t deviceSlotSize = 384;
};

struct AppOptions {
    // Application behaviour
    int32_t Debug = 0;
    int32_t UIDebug = 0;
    QString Title;
    QString appdir;
    int32_t Suwnd = 0;
    int32_t GoWithNoDev = 0;
    int32_t TrayIcon = 0;
    int32_t ExitType = 0;
    int32_t ApplyNow = 0;
    int32_t Pop = 0;
    int32_t Retry = 0;
    int32_t ShowFWUpdate = 0;
    int32_t ShowPower = 0;
    int32_t ShowSys = 0;
    int32_t ShowProfile = 0;
    int32_t ShowProSw = 0;
    int32_t KeyMask = 0;
    int32_t OldAdvDlg = 0;
    int32_t SyncChangeDpiLevel = 0;
    int32_t EnhancePrecision = 0;
    int32_t Debounce = 0;
    int32_t DebounceRange = 0;
    int32_t TipForDebounce = 0;
    int32_t MenuItems = 0;
    int32_t MenuW = 0;
    int32_t ComboRec = 0;
    int32_t BtnTips = 0;
    QString FontName;
    int32_t FontSize = 0;
    uint16_t VID = 0;
    uint16_t PID = 0;
    uint16_t PID2 = 0;
    int32_t Setp3325 = 0;  // key "3325Setp200"
    int32_t Sensor9000Max = 0;
    int32_t Sensor3395Max = 0;
    std::array<uint8_t, 6> LEDParam{};  // mode, brightness, speed, R, G, B
    int32_t ComboName1 = 0;
    int32_t ComboName2 = 0;
    int32_t ComboName3 = 0;

    // Macro editor and library
    int32_t MinDelay = 0;
    int32_t MacroDir = 0;
    int32_t MacroOptX = 0;
    int32_t ListTrans = 0;
    Rect rcMacroList;
    Rect rcKeyList;
    int32_t clrMacFrame = 0;
    int32_t InsertBefore = 0;
    int32_t MinUIDelay = 0;

    // Colours, red in the low byte
    int32_t Txt_clr = 0;
    int32_t Btn_txt_clr_nr = 0;
    int32_t Btn_txt_clr_ov = 0;
    int32_t Btn_txt_clr_dn = 0;
    int32_t Menu_txt_clr_nr = 0;
    int32_t Menu_txt_clr_ov = 0;
    int32_t LstBox_txt_clr_nr = 0;
    int32_t LstBox_txt_clr_dn = 0;
    int32_t LstBox_bkg_clr = 0;
    int32_t LstBox_item_clr = 0;
    int32_t clrEdit = 0;
    int32_t clrMask = 0;
    int32_t clrDpiMark = 0;
    int32_t clrMaskDialog = 0;

    // Layout
    Rect rcSubDlg;
    Rect rcHomePageBtn;
    Rect rcSys;
    Point ptMin, ptNavi, ptPower, ptApply, ptProfile, ptKey, ptMoveSpeed, ptScrollSpeed, ptDbClickSpeed, ptDpiBar,
        ptDpiEft, ptDpiLight, ptDpiSpeed, ptLedEft, ptLight, ptSpeed, ptGradit, ptResult, ptRGBEdit,
        ptLightOffOnMoving, ptSleep, ptGrid, ptRecord;
    int32_t BarY = 0;
    int32_t DpiBarY = 0;
    int32_t DpiSliderY = 0;
    int32_t ScaleY = 0;
    int32_t SliderY = 0;
    int32_t NaviW = 0;
    int32_t RateVSp = 0;

    // Lighting effects 1..7 (index 0..6) and languages
    std::array<LedEffectOption, 7> LedOpt{};
    std::array<LanguageEntry, 10> Languages{};
    int32_t LanguageListLength = 0;  // entries read from Lang1.. (display names may be empty)

    // Lighting effect n = 1..7; 0 asks for entry 7.
    const LedEffectOption& LedEffect(int effect) const { return LedOpt[(effect >= 1 && effect <= 7 ? effect : 7) - 1]; }

    // Languages offered: the leading entries whose display name is not empty.
    int32_t LanguageCount() const;
};

}  // namespace zorvan
