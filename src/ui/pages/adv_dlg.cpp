#include "ui/pages/adv_dlg.h"

#include "app/configuration.h"
#include "skin/display_scale.h"
#include "ui/controls/png_btn.h"
#include "ui/controls/png_slider_bar.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/page_controls.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace zorvan {
namespace {

const std::vector<int> kPointerSpeeds = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
const std::vector<int> kWheelLines = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const std::vector<int> kDoubleClickTimes = {900, 830, 760, 690, 620, 550, 480, 410, 340, 270, 200};
constexpr int kWheelShownForOneScreen = 3;

DpiLayout OldLayout()
{
    DpiLayout layout;
    layout.rowWidth = 390;
    layout.levelBar = layout.effectBar = QStringLiteral("dpibar_nr.png");
    layout.levelFill = layout.effectFill = QStringLiteral("dpibar_ov.png");
    layout.effectWidth = 374;
    // A row: each radio's left 90 pixels right of the previous one's right.
    for (size_t k = 0; k < layout.rateRadios.size(); ++k)
        layout.rateRadios[k] = QRect(620 + int(k) * (12 + 90), 73, 12, 12);
    layout.rateCaption = QRect(QPoint(594, 22), QPoint(894, 42));
    layout.lodRadios = {QRect(632, 196, 12, 12), QRect(701, 196, 12, 12)};
    layout.lodCaption = QRect(QPoint(594, 148), QPoint(794, 168));
    layout.rippleBox = QRect(818, 160, 11, 11);
    layout.rippleCaption = QRect(837, 156, 170, 19);
    layout.angleBox = QRect(818, 206, 11, 11);
    layout.angleCaption = QRect(837, 202, 170, 19);
    return layout;
}

// The table value nearest to `value` (the earlier one on equal distance).
int Nearest(const std::vector<int>& values, int value)
{
    return *std::min_element(values.begin(), values.end(), [value](int a, int b) {
        return std::llabs(int64_t(a) - value) < std::llabs(int64_t(b) - value);
    });
}

CPngBtn* BoxUnder(QWidget* parent, const CPngSliderBar* slider)
{
    const QRect r = SkinRect(*slider);
    return MakeToggle(parent, QRect(r.left(), r.bottom() + 8, 11, 11), QStringLiteral("check"));
}

}  // namespace

CAdvDlg::CAdvDlg(const PageContext& context, QWidget* parent) : DpiPage(context, parent, OldLayout())
{
    const AppOptions& o = context.options;
    speed_ = PointerSlider(o.ptMoveSpeed, kPointerSpeeds, kPointerSpeedId);
    wheel_ = PointerSlider(o.ptScrollSpeed, kWheelLines, kWheelId);
    doubleClick_ = PointerSlider(o.ptDbClickSpeed, kDoubleClickTimes, kDoubleClickId);
    if (speed_)
        precision_ = BoxUnder(this, speed_);
    if (wheel_)
        oneScreen_ = BoxUnder(this, wheel_);
    if (precision_) {
        connect(precision_, &CPngBtn::clicked, this, [this] {
            ChangePointer([](const ProfileRecord& p) {
                PointerChange change;
                change.enhancePrecision = p.enhancePrecision == 0;
                return change;
            });
        });
    }
    if (oneScreen_) {
        connect(oneScreen_, &CPngBtn::clicked, this, [this] {
            const int lines = wheel_->Value();
            ChangePointer([lines](const ProfileRecord& p) {
                PointerChange change;
                change.wheelLines = p.wheelLines == kWheelOneScreen ? lines : kWheelOneScreen;
                return change;
            });
        });
    }
    const bool shown = o.ShowSys != 0;
    for (QWidget* w : std::initializer_list<QWidget*>{speed_, wheel_, doubleClick_, precision_, oneScreen_}) {
        if (w)
            w->setVisible(shown);
    }
}

CPngSliderBar* CAdvDlg::PointerSlider(const Point& at, const std::vector<int>& values, int id)
{
    const AppOptions& o = Context().options;
    const int steps = int(values.size());
    CPngSliderBar* bar = NewSmallPngSliderBar(this, {QRect(at.x, at.y, 261, 10), QStringLiteral("bar_nr.png"),
                                                     QStringLiteral("bar_ov.png"), QStringLiteral("slider.png"), o.BarY,
                                                     o.SliderY, steps, id});
    if (!bar)
        return nullptr;
    bar->SetValues(values);
    bar->SpreadScaleEvenly(steps);
    connect(bar, &SliderBarBase::queryChange, this,
            [this](int, int, int, bool* allowed) { *allowed = Context().port.DesktopChangeAllowed(); });
    connect(bar, &SliderBarBase::valueChanging, this, [this] { update(); });
    connect(bar, &SliderBarBase::valueSet, this, [this](int value, int barId) { OnPointerSlider(value, barId); });
    return bar;
}

void CAdvDlg::OnPointerSlider(int value, int id)
{
    update();
    PointerChange change;
    if (id == kPointerSpeedId) {
        change.pointerSpeed = value;
    } else if (id == kDoubleClickId) {
        change.doubleClickTime = value;
    } else {
        // Moving the wheel slider keeps "one screen at a time" while that box is checked.
        if (oneScreen_ && oneScreen_->isChecked())
            return;
        change.wheelLines = value;
    }
    ChangePointer([change](const ProfileRecord&) { return change; });
}

void CAdvDlg::ChangePointer(const std::function<PointerChange(const ProfileRecord&)>& change)
{
    CMenuDlg::CloseOpen();
    Context().port.ChangeDesktopSetting([change](ProfileRecord& p) { return SetPointerSettings(p, change(p)); });
    // The edit is made at once (or refused): the controls show what the profile holds.
    RefreshFromProfile();
}

void CAdvDlg::RefreshExtras(const ProfileRecord& p)
{
    if (speed_)
        speed_->SetValue(Nearest(kPointerSpeeds, p.pointerSpeed));
    if (doubleClick_)
        doubleClick_->SetValue(Nearest(kDoubleClickTimes, p.doubleClickTime));
    const bool oneScreen = p.wheelLines == kWheelOneScreen;
    if (wheel_)
        wheel_->SetValue(oneScreen ? kWheelShownForOneScreen : Nearest(kWheelLines, p.wheelLines));
    if (oneScreen_)
        oneScreen_->setChecked(oneScreen);
    if (precision_)
        precision_->setChecked(p.enhancePrecision != 0);
}

void CAdvDlg::PaintExtras(QPainter& painter)
{
    if (!speed_ || speed_->isHidden())
        return;
    const QRect s = SkinRect(*speed_);
    DrawCaption(painter, QRect(594, s.top() - 60, 350, 20), Context().Text("tc_adv_str18"));
    const auto captionAbove = [&](const CPngSliderBar* bar, const char* key, bool value) {
        const QRect r = SkinRect(*bar);
        DrawCaption(painter, QRect(r.left(), r.top() - 26, 261, 18), Context().Text(key));
        if (value)
            DrawCaption(painter, QRect(QPoint(r.right() + 12, r.top() - 4), QPoint(r.right() + 37, r.top() + 14)),
                        QString::number(bar->Value()));
    };
    captionAbove(speed_, "tc_adv_str2", true);
    if (wheel_)
        captionAbove(wheel_, "tc_adv_str3", true);
    if (doubleClick_) {
        captionAbove(doubleClick_, "tc_adv_str1", false);
        const QRect r = SkinRect(*doubleClick_);
        DrawCaption(painter, QRect(r.left(), r.bottom() + 4, 120, 16), Context().Text("tc_msg37"));
        DrawCaption(painter, QRect(r.right() - 120, r.bottom() + 4, 121, 16), Context().Text("tc_msg38"), Qt::AlignRight);
    }
    for (const CPngBtn* box : {precision_, oneScreen_}) {
        if (!box)
            continue;
        const QRect r = SkinRect(*box);
        DrawCaption(painter, QRect(r.right() + 9, r.top() - 4, 260, r.height() + 8),
                    Context().Text(box == precision_ ? "tc_adv_str5" : "tc_adv_str4"));
    }
}

}  // namespace zorvan
