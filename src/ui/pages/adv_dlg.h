#pragma once
// CAdvDlg: the DPI and performance page in its older layout (the option OldAdvDlg is not 0):
// level rows 390 pixels wide, the polling rates in a row, and with ShowSys the desktop's
// pointer settings (pointer speed, enhanced precision, wheel lines or one screen at a time,
// double-click time), which the profile carries and the settings writer hands to the desktop:
// they change with or without a mouse.
#include "ui/pages/dpi_page.h"

namespace zorvan {

class CAdvDlg : public DpiPage {
    Q_OBJECT
public:
    static constexpr int kPointerSpeedId = 129;
    static constexpr int kDoubleClickId = 130;
    static constexpr int kWheelId = 132;

    CAdvDlg(const PageContext& context, QWidget* parent);

    CPngSliderBar* PointerSpeedSlider() const { return speed_; }
    CPngSliderBar* WheelSlider() const { return wheel_; }
    CPngSliderBar* DoubleClickSlider() const { return doubleClick_; }
    CPngBtn* PrecisionBox() const { return precision_; }
    CPngBtn* OneScreenBox() const { return oneScreen_; }

protected:
    void RefreshExtras(const ProfileRecord& profile) override;
    void PaintExtras(QPainter& painter) override;

private:
    CPngSliderBar* PointerSlider(const Point& at, const std::vector<int>& values, int id);
    void OnPointerSlider(int value, int id);
    // A change of the pointer settings, made of the current profile, through the settings
    // editor's desktop path; the controls then show the profile.
    void ChangePointer(const std::function<PointerChange(const ProfileRecord&)>& change);

    CPngSliderBar* speed_ = nullptr;
    CPngSliderBar* wheel_ = nullptr;
    CPngSliderBar* doubleClick_ = nullptr;
    CPngBtn* precision_ = nullptr;
    CPngBtn* oneScreen_ = nullptr;
};

}  // namespace zorvan
