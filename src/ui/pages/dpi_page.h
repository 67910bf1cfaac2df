#pragma once
// What the two layouts of the DPI and performance page share: the DPI level rows (a two-thumb
// slider, a colour swatch, a label and the X and Y value texts per level), the level count,
// separate X/Y, the polling rate, lift-off distance, ripple control, angle snapping and the
// DPI light effect. Every change goes through the one editing path (port.ChangeSetting with the
// profile layer's edits); the widgets then show the profile again, so a refused change leaves
// them as the profile is. What the mouse reports by itself (its DPI level, polling rate and DPI
// lighting) is shown as it arrives.
#include "ui/pages/page_widget.h"

#include <QPointer>

#include <array>
#include <functional>
#include <optional>

namespace zorvan {

class CColorDlg;
class CComboBtn;
class CPngBtn;
class CPngHSliderBarEx;
class CPngSliderBar;
struct SensorDpiTable;

// Where the two layouts differ.
struct DpiLayout {
    int rowWidth = 650;
    QString levelBar, levelFill;    // the DPI level sliders' pictures
    QString effectBar, effectFill;  // the DPI light sliders' pictures
    int effectWidth = 261;
    std::array<QRect, 4> rateRadios{};
    QRect rateCaption;
    std::array<QRect, 2> lodRadios{};
    QRect lodCaption;
    bool lodTip = false;  // tc_lodtips beside the lift-off radios
    QRect rippleBox, rippleCaption;
    QRect angleBox, angleCaption;
};

class DpiPage : public PageWidget {
    Q_OBJECT
public:
    static constexpr int kLevelSliderId = 144;  // + level
    static constexpr int kEffectSpeedId = 272;
    static constexpr int kEffectParameterId = 273;

    DpiPage(const PageContext& context, QWidget* parent, DpiLayout layout);

    void LayoutForDevice() override;
    void RefreshFromProfile() override;
    void RefreshTexts() override;
    // The label of `level` (0..7) shown pressed, the others released.
    void MarkCurrentLevel(int level);
    // The mouse reported its polling rate: 1, 2, 4, 8 for 1000, 500, 250, 125 Hz.
    void ShowPollingRateFromMouse(int code);

    // Asks for a typed DPI value (the number-input box; tests replace it).
    std::function<std::optional<int>(const QString& prompt)> askNumber;

    // ---- The controls, for the window's tests ----
    CPngHSliderBarEx* LevelSlider(int level) const { return rows_[size_t(level)].slider; }
    CColorDlg* Swatch(int level) const { return rows_[size_t(level)].swatch; }
    CPngBtn* LevelLabel(int level) const { return rows_[size_t(level)].label; }
    CPngBtn* XText(int level) const { return rows_[size_t(level)].xText; }
    CPngBtn* YText(int level) const { return rows_[size_t(level)].yText; }
    CPngBtn* XYBox() const { return xyBox_; }
    CComboBtn* LevelCountSelector() const { return levelCount_; }
    CPngBtn* RateRadio(int index) const { return rateRadios_[size_t(index)]; }
    CPngBtn* LodRadio(int index) const { return lodRadios_[size_t(index)]; }
    CPngBtn* RippleBox() const { return rippleBox_; }
    CPngBtn* AngleBox() const { return angleBox_; }
    CComboBtn* EffectSelector() const { return effect_; }
    CPngSliderBar* EffectSpeedSlider() const { return effectSpeed_; }
    CPngSliderBar* EffectParameterSlider() const { return effectParameter_; }
    // Where the hint about typing a value goes, in widget pixels; empty without one.
    QRect HintRect() const;

protected:
    // A change of the current profile by the editing rules, for the current model (nothing
    // without one); the controls then show the profile.
    using DeviceEdit = std::function<Edit(ProfileRecord&, const DeviceDescription&)>;
    void Change(const DeviceEdit& edit);
    // The settings-change check, for the sliders' and selectors' questions.
    bool MayChange() { return Context().port.SettingsChangeAllowed(); }
    const QImage& Background() const { return background_; }
    // Caption text in the page's colour, one line.
    void DrawCaption(QPainter& painter, const QRect& rect, const QString& text, int align = Qt::AlignLeft) const;
    // The layout's own widgets and drawing (the older layout's pointer group).
    virtual void RefreshExtras(const ProfileRecord&) {}
    virtual void PaintExtras(QPainter&) {}

    void paintEvent(QPaintEvent* event) override;

private:
    // The hint's line in normal-size page pixels: under the last DPI slider shown, ending 36
    // pixels right of it, in the gap above the X/Y box; empty when no slider shows.
    QRect HintArea() const;

    struct Row {
        CPngHSliderBarEx* slider = nullptr;
        CColorDlg* swatch = nullptr;
        CPngBtn* label = nullptr;
        CPngBtn* xText = nullptr;
        CPngBtn* yText = nullptr;
    };

    void BuildRows();
    void BuildPerformanceControls();
    void BuildEffectControls();
    QRect RowRect(int level) const;
    // Levels whose rows exist for the current model (DM, at most 8).
    int ModelLevels() const;
    int ShownLevels(const ProfileRecord& profile) const;
    bool DpiShown() const;
    bool XYShown(const ProfileRecord& profile) const;
    // Rows, value texts and thumbs as the profile and the model have them.
    void ShowRows(const ProfileRecord& profile);
    void ShowLevel(int level, const ProfileRecord& profile);
    void ShowEffect(const ProfileRecord& profile);
    const SensorDpiTable* Table() const;
    // A value of the sensor's table nearest to `dpi` (what a slider can show).
    int Shown(int dpi) const;

    void OnLevelSlider(int value, int id, int thumb, bool set);
    void OnEffectSlider(int value, int id);
    void OnValueTextDoubleClicked(int tag);
    void OnLevelLabel(int level);
    void OnRate(int index);

    DpiLayout layout_;
    QImage background_;
    std::array<Row, 8> rows_{};
    CPngBtn* xyBox_ = nullptr;
    CComboBtn* levelCount_ = nullptr;
    std::array<CPngBtn*, 4> rateRadios_{};
    std::array<CPngBtn*, 2> lodRadios_{};
    CPngBtn* rippleBox_ = nullptr;
    CPngBtn* angleBox_ = nullptr;
    CComboBtn* effect_ = nullptr;
    CPngSliderBar* effectSpeed_ = nullptr;
    CPngSliderBar* effectParameter_ = nullptr;
    bool laidOut_ = false;
};

}  // namespace zorvan
