#include "ui/pages/dpi_page.h"

#include "app/configuration.h"
#include "profile/profile_state.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/controls/png_slider_bar.h"
#include "ui/pages/color_dlg.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/pages/page_controls.h"

#include <QPainter>

#include <algorithm>

namespace zorvan {
namespace {

const QRect kPageTitleRect(43, 20, 300, 20);
constexpr int kRowHeight = 29;
// The X/Y box lies this far under the bottom of the model's last row.
constexpr int kXYBoxGap = 15;
constexpr int kLevelTextColourDown = 0x0000FF;
constexpr std::array<int, 4> kRatesHz = {125, 250, 500, 1000};
constexpr std::array<int32_t, 4> kRateValues = {kRate125, kRate250, kRate500, kRate1000};
constexpr int kEffectSpeedSteps = 10;
constexpr int kEffectParameterSteps = 5;
constexpr int kPageMargin = 6;

QRect FromPoint(const Point& p, int w, int h)
{
    return QRect(p.x, p.y, w, h);
}

template <typename Widget>
void Show(Widget* widget, bool shown)
{
    if (widget)
        widget->setVisible(shown);
}

void Check(CPngBtn* button, bool checked)
{
    if (button)
        button->setChecked(checked);
}

}  // namespace

DpiPage::DpiPage(const PageContext& context, QWidget* parent, DpiLayout layout)
    : PageWidget(context, parent), layout_(std::move(layout))
{
    const QImage picture = LoadPicture(SkinFile(QStringLiteral("adv_nr.png")), SkinScale());
    if (!picture.isNull())
        background_ = PictureArea(picture, context.area);
    askNumber = [this](const QString& prompt) { return CMsgDlg::AskNumber(this, prompt, 6, 0, 65535); };
    BuildRows();
    BuildPerformanceControls();
    BuildEffectControls();
    // Nothing shows until the page is laid out for a model.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->hide();
    RefreshTexts();
    connect(&context.port, &DevicePort::dpiLevelChanged, this, &DpiPage::MarkCurrentLevel);
    connect(&context.port, &DevicePort::pollingRateChanged, this, &DpiPage::ShowPollingRateFromMouse);
    connect(&context.port, &DevicePort::dpiLightingChanged, this, &DpiPage::RefreshFromProfile);
}

QRect DpiPage::RowRect(int level) const
{
    const DeviceDescription* device = Context().Device();
    const int gap = device && device->DpiHeight > 0 ? device->DpiHeight : 10;
    const Point& at = Context().options.ptDpiBar;
    return QRect(at.x, at.y + level * (kRowHeight + gap), layout_.rowWidth, kRowHeight);
}

void DpiPage::BuildRows()
{
    const AppOptions& o = Context().options;
    for (int i = 0; i < kDpiLevels; ++i) {
        Row& row = rows_[size_t(i)];
        row.slider = NewSmallPngHSliderBarEx(this,
                                             {RowRect(i), layout_.levelBar, layout_.levelFill, QStringLiteral("slider.png"),
                                              o.DpiBarY, o.DpiSliderY, 1, kLevelSliderId + i},
                                             QStringLiteral("slider1.png"), QStringLiteral("slider2.png"));
        if (row.slider) {
            connect(row.slider, &SliderBarBase::queryChange, this,
                    [this](int, int, int, bool* allowed) { *allowed = MayChange(); });
            connect(row.slider, &SliderBarBase::valueChanging, this,
                    [this](int value, int id, int thumb) { OnLevelSlider(value, id, thumb, false); });
            connect(row.slider, &SliderBarBase::valueSet, this,
                    [this](int value, int id, int thumb) { OnLevelSlider(value, id, thumb, true); });
        }
        row.swatch = new CColorDlg(this);
        row.swatch->SetTag(i);
        row.swatch->SetColour(255);
        connect(row.swatch, &CColorDlg::queryChange, this, [this](int32_t, int, bool* allowed) { *allowed = MayChange(); });
        connect(row.swatch, &CColorDlg::colourChanged, this, [this](int32_t colour, int level) {
            Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetDpiColour(p, level, colour, device); });
        });
        row.label = MakeTextLabel(this, o.Txt_clr, o.Btn_txt_clr_ov, o.clrDpiMark);
        row.label->SetText(QStringLiteral("DPI %1").arg(i + 1), 0, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
        connect(row.label, &CPngBtn::clicked, this, [this, i] { OnLevelLabel(i); });
        for (const bool y : {false, true}) {
            CPngBtn* text = MakeTextLabel(this, o.Btn_txt_clr_nr, o.Btn_txt_clr_nr, kLevelTextColourDown);
            text->SetDoubleClickNotify(true);
            text->SetTag(y ? kDpiLevels + i : i);
            connect(text, &CPngBtn::doubleClickedTag, this, &DpiPage::OnValueTextDoubleClicked);
            (y ? row.yText : row.xText) = text;
        }
    }
}

void DpiPage::BuildPerformanceControls()
{
    xyBox_ = MakeToggle(this, QRect(0, 0, 11, 11), QStringLiteral("check"));
    if (xyBox_) {
        connect(xyBox_, &CPngBtn::clicked, this, [this] {
            Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetXYSeparate(p, p.xySeparate == 0, device); });
        });
    }
    const int right = Context().options.ptDpiBar.x + layout_.rowWidth;
    levelCount_ = MakeCombo(this, QRect(right - 83, 25, 83, 19), QStringLiteral("combo2_nr.png"));
    if (levelCount_) {
        levelCount_->SetAcceptCheck([this] { return MayChange(); });
        connect(levelCount_, &CPngBtn::clicked, this, [this] {
            const int count = levelCount_->SelectedValue();
            const bool sync = Context().options.SyncChangeDpiLevel != 0;
            Change([=](ProfileRecord& p, const DeviceDescription& device) {
                int level = g_nCurDpiLevel.load();
                const Edit edit = SetLevelCount(p, count, device, sync, level);
                g_nCurDpiLevel.store(level);
                return edit;
            });
        });
    }
    for (size_t k = 0; k < rateRadios_.size(); ++k) {
        rateRadios_[k] = MakeToggle(this, layout_.rateRadios[k], QStringLiteral("radio"));
        if (rateRadios_[k])
            connect(rateRadios_[k], &CPngBtn::clicked, this, [this, k] { OnRate(int(k)); });
    }
    for (size_t k = 0; k < lodRadios_.size(); ++k) {
        lodRadios_[k] = MakeToggle(this, layout_.lodRadios[k], QStringLiteral("radio"));
        if (lodRadios_[k]) {
            connect(lodRadios_[k], &CPngBtn::clicked, this, [this, mm = int(k) + 1] {
                Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetLod(p, mm, device); });
            });
        }
    }
    rippleBox_ = MakeToggle(this, layout_.rippleBox, QStringLiteral("check"));
    if (rippleBox_) {
        connect(rippleBox_, &CPngBtn::clicked, this, [this] {
            Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetRipple(p, p.ripple == 0, device); });
        });
    }
    angleBox_ = MakeToggle(this, layout_.angleBox, QStringLiteral("check"));
    if (angleBox_) {
        connect(angleBox_, &CPngBtn::clicked, this, [this] {
            Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetAngleSnapping(p, p.angleSnapping == 0, device); });
        });
    }
}

void DpiPage::BuildEffectControls()
{
    const AppOptions& o = Context().options;
    effect_ = MakeCombo(this, FromPoint(o.ptDpiEft, 147, 30), QStringLiteral("combo_nr.png"));
    if (effect_) {
        effect_->SetAcceptCheck([this] { return MayChange(); });
        connect(effect_, &CPngBtn::clicked, this, [this] {
            LightChange change;
            change.mode = effect_->SelectedValue();
            Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetDpiLight(p, change, device); });
        });
    }
    const auto slider = [&](const Point& at, int steps, int id) {
        CPngSliderBar* bar = NewSmallPngSliderBar(this, {FromPoint(at, layout_.effectWidth, 10), layout_.effectBar,
                                                         layout_.effectFill, QStringLiteral("slider.png"), o.BarY,
                                                         o.SliderY, steps, id});
        if (!bar)
            return bar;
        bar->SpreadScaleEvenly(steps);
        connect(bar, &SliderBarBase::queryChange, this, [this](int, int, int, bool* allowed) { *allowed = MayChange(); });
        connect(bar, &SliderBarBase::valueChanging, this, [this] { update(); });
        connect(bar, &SliderBarBase::valueSet, this, [this](int value, int barId) { OnEffectSlider(value, barId); });
        return bar;
    };
    effectSpeed_ = slider(o.ptDpiLight, kEffectSpeedSteps, kEffectSpeedId);
    effectParameter_ = slider(o.ptDpiSpeed, kEffectParameterSteps, kEffectParameterId);
}

void DpiPage::RefreshTexts()
{
    if (effect_) {
        const int32_t selected = effect_->SelectedValue();
        effect_->ClearItems(0);
        effect_->AddItem(0, 1, Context().Text("tc_led_mode1"));
        effect_->AddItem(0, 2, Context().Text("tc_led_mode2"));
        effect_->AddItem(0, 0, Context().Text("tc_led_mode7"));
        effect_->SelectValue(selected);
    }
    for (CPngBtn* radio : lodRadios_) {
        if (radio)
            radio->SetTip(Context().Text("tc_lodtips"));
    }
    update();
}

const SensorDpiTable* DpiPage::Table() const
{
    const DeviceDescription* device = Context().Device();
    const SensorDpiTable* table = device ? Config().sensors.Find(device->Sensor) : nullptr;
    return table && table->Count > 0 ? table : nullptr;
}

int DpiPage::Shown(int dpi) const
{
    const SensorDpiTable* table = Table();
    return table ? NearestDpi(*table, dpi).value_or(dpi) : dpi;
}

int DpiPage::ModelLevels() const
{
    const DeviceDescription* device = Context().Device();
    return device ? std::clamp(device->DpiLevelCount, 0, kDpiLevels) : 0;
}

int DpiPage::ShownLevels(const ProfileRecord& profile) const
{
    return std::min(profile.LevelCount(), ModelLevels());
}

bool DpiPage::DpiShown() const
{
    const DeviceDescription* device = Context().Device();
    return device && device->ShowDpi != 0;
}

bool DpiPage::XYShown(const ProfileRecord& profile) const
{
    const DeviceDescription* device = Context().Device();
    return device && device->ShowXY != 0 && profile.xySeparate != 0;
}

void DpiPage::LayoutForDevice()
{
    const DeviceDescription* device = Context().Device();
    if (!device || !Context().port.CurrentProfile() || device->DpiLevelCount > kDpiLevels)
        return;
    const SensorDpiTable* table = Table();
    std::vector<int> values;
    if (table)
        values.assign(table->Values.begin(), table->Values.begin() + std::clamp(table->Count, 0, kSensorValues));
    for (int i = 0; i < kDpiLevels; ++i) {
        const Row& row = rows_[size_t(i)];
        const QRect r = RowRect(i);
        if (row.slider) {
            row.slider->move(Scaled(r).topLeft());
            row.slider->SetRange(1, std::max(1, int(values.size())));
            row.slider->SetValues(values);
            if (values.empty())
                row.slider->SetScale({});
            else
                row.slider->SpreadScaleEvenly(int(values.size()));
        }
        row.swatch->setGeometry(Scaled(QRect(QPoint(r.left() - 33, r.top() + 6), QPoint(r.left() - 15, r.top() + 24))));
        row.swatch->SetReadOnly(device->DpiColorReadOnly != 0);
        row.label->setGeometry(Scaled(QRect(QPoint(kPageTitleRect.left(), r.top()), QPoint(r.left() - 33, r.bottom()))));
        row.yText->setGeometry(Scaled(QRect(QPoint(r.right() + 8, r.bottom() - 14), QPoint(r.right() + 50, r.bottom()))));
    }
    if (levelCount_) {
        levelCount_->ClearItems(0);
        for (int n = 1; n <= ModelLevels(); ++n)
            levelCount_->AddItem(0, n, QString::number(n));
    }
    if (xyBox_ && ModelLevels() > 0) {
        const QRect last = RowRect(ModelLevels() - 1);
        xyBox_->move(Scaled(QRect(last.left(), last.bottom() + kXYBoxGap, 1, 1)).topLeft());
    }
    const bool dpi = device->ShowDpi != 0;
    Show(levelCount_, dpi);
    Show(xyBox_, dpi && device->ShowXY != 0);
    for (CPngBtn* radio : rateRadios_)
        Show(radio, device->ShowUsbRate != 0);
    for (CPngBtn* radio : lodRadios_)
        Show(radio, device->ShowLOD != 0);
    Show(rippleBox_, device->ShowRipple != 0);
    Show(angleBox_, device->ShowFixLine != 0);
    const bool light = dpi && device->ShowDpiLED != 0;
    Show(effect_, light);
    Show(effectSpeed_, light);
    Show(effectParameter_, light);
    laidOut_ = true;
    update();
}

void DpiPage::RefreshFromProfile()
{
    const std::optional<ProfileRecord> profile = Context().port.CurrentProfile();
    if (!laidOut_ || !profile || !Context().Device())
        return;
    const ProfileRecord& p = *profile;
    Check(xyBox_, p.xySeparate != 0);
    for (int i = 0; i < kDpiLevels; ++i)
        ShowLevel(i, p);
    if (levelCount_) {
        levelCount_->SelectIndex(-1);
        levelCount_->SelectValue(ShownLevels(p));
    }
    ShowRows(p);
    MarkCurrentLevel(g_nCurDpiLevel.load());
    ShowEffect(p);
    Check(lodRadios_[0], p.lod == 1);
    Check(lodRadios_[1], p.lod == 2);
    for (size_t k = 0; k < rateRadios_.size(); ++k)
        Check(rateRadios_[k], p.pollingRate == kRateValues[k]);
    Check(rippleBox_, p.ripple != 0);
    Check(angleBox_, p.angleSnapping != 0);
    RefreshExtras(p);
    update();
}

void DpiPage::ShowLevel(int level, const ProfileRecord& profile)
{
    const Row& row = rows_[size_t(level)];
    const DpiLevelRecord& record = profile.dpiLevels[size_t(level)];
    const bool xy = XYShown(profile);
    const int x = Shown(record.x);
    const int y = xy ? Shown(record.y) : x;
    if (row.slider) {
        row.slider->SetTwoThumbs(xy);
        row.slider->SetValue(x, 1);
        row.slider->SetValue(y, 2);
    }
    row.xText->SetText(QString::number(x));
    row.yText->SetText(QString::number(y));
    row.swatch->SetColour(record.colour);
}

void DpiPage::ShowRows(const ProfileRecord& profile)
{
    const DeviceDescription* device = Context().Device();
    const int levels = DpiShown() ? ShownLevels(profile) : 0;
    const bool xy = XYShown(profile);
    for (int i = 0; i < kDpiLevels; ++i) {
        const Row& row = rows_[size_t(i)];
        const bool inUse = i < levels;
        const QRect r = RowRect(i);
        row.xText->setGeometry(Scaled(xy ? QRect(QPoint(r.right() + 8, r.top()), QPoint(r.right() + 50, r.top() + 14))
                                         : QRect(QPoint(r.right() + 10, r.top()), QPoint(r.right() + 50, r.bottom()))));
        Show(row.slider, inUse);
        Show(row.swatch, inUse && device->ShowDpiColor != 0);
        Show(row.label, inUse);
        Show(row.xText, inUse);
        Show(row.yText, inUse && xy);
    }
}

void DpiPage::ShowEffect(const ProfileRecord& profile)
{
    const int mode = profile.dpiEffectMode;
    if (effect_) {
        effect_->SelectIndex(-1);
        effect_->SelectValue(mode);
    }
    if (effectSpeed_) {
        effectSpeed_->SetValue(std::clamp(profile.dpiEffectSpeed, 1, kEffectSpeedSteps));
        effectSpeed_->Thumb(1)->setVisible(mode == 1);
    }
    if (effectParameter_) {
        effectParameter_->SetValue(std::clamp(profile.dpiEffectParameter, 1, kEffectParameterSteps));
        effectParameter_->Thumb(1)->setVisible(mode == 2);
    }
}

void DpiPage::MarkCurrentLevel(int level)
{
    for (int i = 0; i < kDpiLevels; ++i)
        rows_[size_t(i)].label->setChecked(i == level);
}

void DpiPage::ShowPollingRateFromMouse(int code)
{
    // 1, 2, 4, 8: 1000, 500, 250, 125 Hz.
    for (size_t k = 0; k < rateRadios_.size(); ++k)
        Check(rateRadios_[k], code == (8 >> k));
}

void DpiPage::Change(const DeviceEdit& edit)
{
    CMenuDlg::CloseOpen();
    if (!Context().Device())
        return;
    const DeviceDescription device = *Context().Device();
    Context().port.ChangeSetting([edit, device](ProfileRecord& p) { return edit(p, device); });
    // The edit is made at once (or refused): the controls show what the profile holds.
    RefreshFromProfile();
}

void DpiPage::OnLevelSlider(int value, int id, int thumb, bool set)
{
    const int level = id - kLevelSliderId;
    const std::optional<ProfileRecord> profile = Context().port.CurrentProfile();
    if (level < 0 || level >= kDpiLevels || !profile || !Context().Device())
        return;
    const bool xy = XYShown(*profile);
    if (thumb == 2 && !xy)
        return;
    const Row& row = rows_[size_t(level)];
    (thumb == 2 ? row.yText : row.xText)->SetText(QString::number(value));
    if (!set)
        return;
    const int x = row.slider->Value(1);
    const std::optional<int> y = xy ? std::optional<int>(row.slider->Value(2)) : std::nullopt;
    Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetDpiValue(p, level, x, y, device, Config().sensors); });
}

void DpiPage::OnEffectSlider(int value, int id)
{
    update();
    const std::optional<ProfileRecord> profile = Context().port.CurrentProfile();
    if (!profile || !Context().Device() || profile->dpiEffectMode == 0)
        return;
    LightChange change;
    (id == kEffectSpeedId ? change.speed : change.parameter) = value;
    Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetDpiLight(p, change, device); });
}

void DpiPage::OnValueTextDoubleClicked(int tag)
{
    const SensorDpiTable* table = Table();
    const std::optional<ProfileRecord> profile = Context().port.CurrentProfile();
    if (!table || !profile || !Context().Device())
        return;
    const int level = tag % kDpiLevels;
    const int thumb = tag >= kDpiLevels ? 2 : 1;
    QString prompt = Context().Text("tc_dpirange");
    if (prompt.isEmpty())
        prompt = QStringLiteral("%1   (%2 ~ %3)")
                     .arg(Context().Text("tc_dpi"))
                     .arg(table->Values[0])
                     .arg(table->Values[size_t(std::min(table->Count, kSensorValues) - 1)]);
    const std::optional<int> typed = askNumber(prompt);
    if (!typed || *typed == 0 || !MayChange())
        return;
    const int nearest = *NearestDpi(*table, *typed);
    const Row& row = rows_[size_t(level)];
    const bool xy = XYShown(*profile);
    if (!row.slider)
        return;
    row.slider->SetValue(nearest, thumb);
    (thumb == 2 ? row.yText : row.xText)->SetText(QString::number(nearest));
    const int x = row.slider->Value(1);
    const std::optional<int> y = xy ? std::optional<int>(row.slider->Value(2)) : std::nullopt;
    Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetDpiValue(p, level, x, y, device, Config().sensors); });
}

void DpiPage::OnLevelLabel(int level)
{
    const DeviceDescription* device = Context().Device();
    if (!device || device->SetDpiByClick == 0) {
        // The label only marks the current level; a click does not choose it.
        MarkCurrentLevel(g_nCurDpiLevel.load());
        return;
    }
    Change([level](ProfileRecord& p, const DeviceDescription& model) {
        int current = g_nCurDpiLevel.load();
        const Edit edit = SetCurrentLevel(p, level, model, current);
        g_nCurDpiLevel.store(current);
        return edit;
    });
}

void DpiPage::OnRate(int index)
{
    const int hz = kRatesHz[size_t(index)];
    Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetPollingRate(p, hz, device); });
}

void DpiPage::DrawCaption(QPainter& painter, const QRect& rect, const QString& text, int align) const
{
    // Kept on the page: a long caption left of a control near the edge is cut, not lost.
    QRect area = Scaled(rect);
    area.setLeft(std::max(area.left(), Scaled(kPageMargin)));
    painter.drawText(area, align | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, area.width()));
}

QRect DpiPage::HintArea() const
{
    if (Context().Text("tc_msg26").isEmpty())
        return {};
    // Under a row lie the next row's slider (one gap below, often less than a line) or, under
    // the last row of the model, the X/Y box; under the last row shown nothing but that box.
    for (int level = int(rows_.size()) - 1; level >= 0; --level) {
        const CPngHSliderBarEx* slider = rows_[size_t(level)].slider;
        if (slider && !slider->isHidden()) {
            const QRect r = RowRect(level);
            return QRect(r.left(), r.bottom() + 1, r.width() + 36, kXYBoxGap - 1);
        }
    }
    return {};
}

QRect DpiPage::HintRect() const
{
    return Scaled(HintArea());
}

void DpiPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!background_.isNull())
        painter.drawImage(rect(), background_);
    const DeviceDescription* device = Context().Device();
    painter.setPen(ColourOf(Context().options.Txt_clr));
    if (device && device->ShowDpi != 0) {
        painter.setFont(Context().titleFont);
        DrawCaption(painter, kPageTitleRect, Context().Text("tc_page2"));
    }
    painter.setFont(WindowFont(Scaled(13), 400));
    const auto visible = [](const QWidget* w) { return w && !w->isHidden(); };
    const auto at = [](const QWidget* w) { return SkinRect(*w); };

    if (const QRect hint = HintArea(); !hint.isEmpty())
        DrawCaption(painter, hint, Context().Text("tc_msg26"), Qt::AlignRight);
    if (visible(xyBox_)) {
        const QRect box = at(xyBox_);
        DrawCaption(painter, QRect(box.right() + 9, box.top() - 4, 240, box.height() + 8), Context().Text("tc_msg19"));
    }
    if (visible(levelCount_)) {
        const QRect r = at(levelCount_);
        DrawCaption(painter, QRect(QPoint(r.left() - 160, r.top() + 1), QPoint(r.left() - 10, r.bottom())),
                    Context().Text("tc_adv_str19"), Qt::AlignRight);
    }
    const auto labelUnder = [&](const CPngBtn* radio, const QString& text) {
        const QRect r = at(radio);
        painter.drawText(Scaled(QRect(r.center().x() - 40, r.bottom() + 5, 80, 16)),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
    };
    if (visible(rateRadios_[0])) {
        DrawCaption(painter, layout_.rateCaption, Context().Text("tc_adv_str6"));
        for (size_t k = 0; k < rateRadios_.size(); ++k) {
            if (visible(rateRadios_[k]))
                labelUnder(rateRadios_[k], QStringLiteral("%1 Hz").arg(kRatesHz[k]));
        }
    }
    if (visible(lodRadios_[0])) {
        DrawCaption(painter, layout_.lodCaption, Context().Text("tc_adv_str9"));
        for (size_t k = 0; k < lodRadios_.size(); ++k) {
            if (visible(lodRadios_[k]))
                labelUnder(lodRadios_[k], QStringLiteral("%1 mm").arg(k + 1));
        }
        // The tip shares its place with the DPI light controls; while they show, it is the
        // radios' tooltip only.
        if (layout_.lodTip && !visible(effect_)) {
            painter.save();
            painter.setPen(ColourOf(Context().options.Btn_txt_clr_nr));
            painter.drawText(Scaled(QRect(QPoint(30, 415), QPoint(430, 512))), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                             Context().Text("tc_lodtips"));
            painter.restore();
        }
    }
    if (visible(rippleBox_))
        DrawCaption(painter, layout_.rippleCaption, Context().Text("tc_adv_str12"));
    if (visible(angleBox_))
        DrawCaption(painter, layout_.angleCaption, Context().Text("tc_adv_str13"));
    if (visible(effect_)) {
        const QRect r = at(effect_);
        DrawCaption(painter, QRect(QPoint(47, r.top()), QPoint(r.left() - 8, r.bottom())), Context().Text("tc_adv_str14"));
    }
    for (const CPngSliderBar* bar : {effectSpeed_, effectParameter_}) {
        if (!visible(bar))
            continue;
        const QRect r = at(bar);
        DrawCaption(painter, QRect(QPoint(r.left() - 160, r.top() - 2), QPoint(r.left() - 10, r.bottom() + 2)),
                    Context().Text(bar == effectSpeed_ ? "tc_adv_str7" : "tc_adv_str10"), Qt::AlignRight);
        if (!bar->Thumb(1)->isHidden())
            DrawCaption(painter, QRect(QPoint(r.right() + 15, r.top() - 2), QPoint(r.right() + 45, r.bottom() + 2)),
                        QString::number(bar->Value()));
    }
    PaintExtras(painter);
}

}  // namespace zorvan
