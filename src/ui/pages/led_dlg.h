#pragma once
// CLedDlg: the lighting page. The effect, brightness, speed and colour of the mouse's main light
// zone and of its logo zone (each where the model has it), the sleep time and light-off while
// moving. Which sliders and colour controls an effect shows comes from the effect options
// (LedOpt) for the main zone and from the logo effect for the logo zone. Every change goes
// through the one editing path for lighting (port.ChangeLighting: the lighting-lock query
// before the request); the controls then show the profile again. What the mouse reports of its
// lighting is shown as it arrives.
#include "ui/pages/page_widget.h"

#include <array>

class QLineEdit;

namespace zorvan {

class CColorBtnDlg;
class CComboBtn;
class CPngBtn;
class CPngSliderBar;

class CLedDlg : public PageWidget {
    Q_OBJECT
public:
    enum Zone { kMain, kLogo };
    static constexpr int kPresets = 14;
    // The preset cells' colours, red in the low byte.
    static const std::array<int32_t, kPresets> kPresetColours;

    CLedDlg(const PageContext& context, QWidget* parent);

    void LayoutForDevice() override;
    void RefreshFromProfile() override;
    void RefreshTexts() override;

    // The sleep list's text of `seconds`: whole minutes from 60 s on.
    static QString SleepText(int seconds, const LanguageTexts& texts);

    // ---- The controls, for the window's tests ----
    CComboBtn* Effect(Zone zone) const { return zones_[zone].effect; }
    CPngSliderBar* Brightness(Zone zone) const { return zones_[zone].brightness; }
    CPngSliderBar* Speed(Zone zone) const { return zones_[zone].speed; }
    CPngBtn* BrightnessLabel() const { return brightnessLabel_; }
    CPngBtn* SpeedLabel() const { return speedLabel_; }
    CColorBtnDlg* Result() const { return result_; }
    QLineEdit* ColourField(int index) const { return fields_[size_t(index)]; }
    CComboBtn* SleepSelector() const { return sleep_; }
    CPngBtn* LightOffBox() const { return lightOff_; }
    // Where a preset cell and the colour gradient lie on the page.
    QRect PresetRect(int index) const;
    QRect GradientRect() const;
    bool ColourControlsShown() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct ZoneControls {
        CComboBtn* effect = nullptr;
        CPngSliderBar* brightness = nullptr;
        CPngSliderBar* speed = nullptr;
    };
    struct Shows {
        bool brightness = false;
        bool speed = false;
        bool colour = false;
    };

    void BuildZone(Zone zone);
    void BuildColourControls();
    void BuildPowerControls();
    bool HasZone(Zone zone) const;
    Shows ShowsOf(Zone zone, int mode) const;
    // The zone's controls as the profile has them; the shared labels and colour controls
    // follow the zone shown last.
    void ShowZone(Zone zone, const ProfileRecord& profile);
    void ShowColour(int32_t colour);
    void FillEffectList(Zone zone);
    void FillSleepList();
    // The zone whose colour the colour controls edit.
    Zone ColourZone() const;

    // A lighting change for the current model (nothing without one); the controls then show
    // the profile.
    using DeviceEdit = std::function<Edit(ProfileRecord&, const DeviceDescription&)>;
    void Change(const DeviceEdit& edit);
    void OnSlider(Zone zone, bool speed, int value);
    void OnFieldEdited(int index);
    // A colour picked in the gradient or the presets.
    void TakeColour(int32_t colour);
    int32_t FieldsColour() const;

    QImage background_;
    QImage mouse_;
    QImage gradient_;
    std::array<ZoneControls, 2> zones_{};
    CPngBtn* brightnessLabel_ = nullptr;
    CPngBtn* speedLabel_ = nullptr;
    CColorBtnDlg* result_ = nullptr;
    std::array<QLineEdit*, 3> fields_{};
    CPngBtn* lightOff_ = nullptr;
    CComboBtn* sleep_ = nullptr;
    bool colourShown_ = false;
};

}  // namespace zorvan
