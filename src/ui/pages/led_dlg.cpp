#include "ui/pages/led_dlg.h"

#include "app/configuration.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "ui/controls/color_btn.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_slider_bar.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/page_controls.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace zorvan {
namespace {

const QRect kPageTitleRect(43, 20, 300, 20);
constexpr int kSteps = 10;
constexpr int kLogoSpeedSteps = 5;
constexpr int kGradientSize = 173;
constexpr int kCell = 22;
constexpr int kCellStride = kCell + 18;
constexpr int kRowStride = kCell + 10;
constexpr int kCellsPerRow = 7;
constexpr int kFieldWidth = 45;
constexpr int kFieldHeight = 20;
constexpr int kFieldStride = 75;

// Main effect n at position n - 1, off (0) last; the LedMask bit of each position hides it.
constexpr std::array<int, 7> kMainEffects = {1, 2, 3, 4, 5, 6, 0};
// Logo effects and the texts they show.
constexpr std::array<std::pair<int, const char*>, 4> kLogoEffects = {
    {{1, "tc_led_mode1"}, {2, "tc_led_mode2"}, {3, "tc_led_mode4"}, {0, "tc_led_mode7"}}};

QRect At(const Point& p, int w, int h)
{
    return QRect(p.x, p.y, w, h);
}

int32_t ColourOfPixel(QRgb pixel)
{
    return Rgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

}  // namespace

const std::array<int32_t, CLedDlg::kPresets> CLedDlg::kPresetColours = {
    Rgb(255, 0, 0),   Rgb(0, 255, 255), Rgb(0, 255, 0),    Rgb(255, 0, 255),  Rgb(255, 255, 0),
    Rgb(255, 80, 0),  Rgb(0, 0, 255),   Rgb(228, 0, 127),  Rgb(46, 167, 224), Rgb(96, 25, 134),
    Rgb(255, 255, 255), Rgb(140, 179, 36), Rgb(255, 156, 51), Rgb(209, 113, 174)};

CLedDlg::CLedDlg(const PageContext& context, QWidget* parent) : PageWidget(context, parent)
{
    const QImage picture = LoadPicture(SkinFile(QStringLiteral("led_nr.png")), SkinScale());
    if (!picture.isNull())
        background_ = PictureArea(picture, context.area);
    const QImage colours = LoadPicture(SkinFile(QStringLiteral("color.png")), SkinScale());
    if (!colours.isNull())
        gradient_ = SmoothlyScaledTo(colours, QSize(Scaled(kGradientSize), Scaled(kGradientSize)));
    setMouseTracking(true);
    // The logo zone first: where a model has both, the main zone's controls lie on top.
    BuildZone(kLogo);
    BuildZone(kMain);
    const AppOptions& o = context.options;
    for (CPngBtn** label : {&brightnessLabel_, &speedLabel_}) {
        *label = MakeTextLabel(this, o.Btn_txt_clr_nr, o.Btn_txt_clr_ov, o.Btn_txt_clr_dn);
        const QRect bar = At(label == &brightnessLabel_ ? o.ptLight : o.ptSpeed, 261, 10);
        (*label)->setGeometry(Scaled(QRect(QPoint(bar.right() + 15, bar.top() - 1), QPoint(bar.right() + 45, bar.bottom() + 1))));
    }
    BuildColourControls();
    BuildPowerControls();
    // Nothing shows until the page is laid out for a model.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->hide();
    RefreshTexts();
    connect(&context.port, &DevicePort::lightingChanged, this, &CLedDlg::RefreshFromProfile);
}

void CLedDlg::BuildZone(Zone zone)
{
    const AppOptions& o = Context().options;
    ZoneControls& z = zones_[zone];
    z.effect = MakeCombo(this, At(o.ptLedEft, 147, 30), QStringLiteral("combo_nr.png"));
    if (z.effect) {
        z.effect->SetAcceptCheck([this] { return Context().port.SettingsChangeAllowed(); });
        connect(z.effect, &CPngBtn::clicked, this, [this, zone] {
            const AppOptions& options = Context().options;
            LightChange change;
            change.mode = zones_[zone].effect->SelectedValue();
            Change([=, &options](ProfileRecord& p, const DeviceDescription& device) {
                return zone == kMain ? SetMainLight(p, change, device, options) : SetLogoLight(p, change, device);
            });
        });
    }
    const auto slider = [&](const Point& at, int steps, bool speed) {
        CPngSliderBar* bar = NewSmallPngSliderBar(this, {At(at, 261, 10), QStringLiteral("bar_nr.png"),
                                                         QStringLiteral("bar_ov.png"), QStringLiteral("slider.png"),
                                                         o.BarY, o.SliderY, steps, zone * 2 + (speed ? 1 : 0)});
        if (!bar)
            return bar;
        bar->SpreadScaleEvenly(steps);
        connect(bar, &SliderBarBase::queryChange, this,
                [this](int, int, int, bool* allowed) { *allowed = Context().port.SettingsChangeAllowed(); });
        connect(bar, &SliderBarBase::valueChanging, this,
                [this, speed](int value) { (speed ? speedLabel_ : brightnessLabel_)->SetText(QString::number(value)); });
        connect(bar, &SliderBarBase::valueSet, this, [this, zone, speed](int value) { OnSlider(zone, speed, value); });
        return bar;
    };
    z.brightness = slider(o.ptLight, kSteps, false);
    z.speed = slider(o.ptSpeed, zone == kMain ? kSteps : kLogoSpeedSteps, true);
}

void CLedDlg::BuildColourControls()
{
    const AppOptions& o = Context().options;
    result_ = new CColorBtnDlg(this);
    result_->setGeometry(Scaled(At(o.ptResult, 30, 30)));
    result_->SetDialogEnabled(false);
    result_->SetFramed(true);
    connect(result_, &CColorBtnDlg::pressed, this, [this] { result_->SetFramed(true); });
    const QFont font = WindowFont(Scaled(13), 400);
    // The page's colours through the palette (a style sheet per field costs a style of its own).
    QPalette palette;
    palette.setColor(QPalette::Base, ColourOf(o.LstBox_bkg_clr));
    palette.setColor(QPalette::Text, ColourOf(o.Txt_clr));
    palette.setColor(QPalette::Window, ColourOf(o.LstBox_bkg_clr));
    for (size_t i = 0; i < fields_.size(); ++i) {
        auto* edit = new QLineEdit(QStringLiteral("0"), this);
        edit->setGeometry(Scaled(QRect(o.ptRGBEdit.x + int(i) * kFieldStride, o.ptRGBEdit.y, kFieldWidth, kFieldHeight)));
        edit->setFont(font);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), edit));
        edit->setPalette(palette);
        edit->setAccessibleName(QStringList{QStringLiteral("R"), QStringLiteral("G"), QStringLiteral("B")}[qsizetype(i)]);
        connect(edit, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(int(i)); });
        fields_[i] = edit;
    }
}

void CLedDlg::BuildPowerControls()
{
    const AppOptions& o = Context().options;
    lightOff_ = MakeToggle(this, At(o.ptLightOffOnMoving, 11, 11), QStringLiteral("check"));
    if (lightOff_) {
        connect(lightOff_, &CPngBtn::clicked, this, [this] {
            const bool underPid = Context().port.UnderPid();
            Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetLightOffMoving(p, p.lightOffMoving == 0, device, underPid); });
        });
    }
    sleep_ = MakeCombo(this, At(o.ptSleep, 83, 19), QStringLiteral("combo2_nr.png"));
    if (sleep_) {
        sleep_->SetAcceptCheck([this] { return Context().port.SettingsChangeAllowed(); });
        connect(sleep_, &CPngBtn::clicked, this, [this] {
            const bool underPid = Context().port.UnderPid();
            const int seconds = sleep_->SelectedValue();
            Change([=](ProfileRecord& p, const DeviceDescription& device) { return SetSleepTime(p, seconds, device, underPid); });
        });
    }
}

QString CLedDlg::SleepText(int seconds, const LanguageTexts& texts)
{
    if (seconds < 60)
        return QStringLiteral("%1 %2").arg(seconds).arg(texts.Text("tc_adv_str24"));
    return QStringLiteral("%1 %2").arg(seconds / 60).arg(texts.Text("tc_adv_str22"));
}

void CLedDlg::FillEffectList(Zone zone)
{
    CComboBtn* effect = zones_[zone].effect;
    if (!effect)
        return;
    const int32_t selected = effect->SelectedValue();
    effect->ClearItems(0);
    if (zone == kMain) {
        const DeviceDescription* device = Context().Device();
        const int mask = device ? device->LedMask : 0;
        for (size_t position = 0; position < kMainEffects.size(); ++position) {
            if ((mask & (1 << position)) == 0) {
                const int mode = kMainEffects[position];
                effect->AddItem(0, mode, Context().Text(QStringLiteral("tc_led_mode%1").arg(mode == 0 ? 7 : mode).toStdString()));
            }
        }
    } else {
        for (const auto& [mode, key] : kLogoEffects)
            effect->AddItem(0, mode, Context().Text(key));
    }
    effect->SelectValue(selected);
}

void CLedDlg::FillSleepList()
{
    if (!sleep_)
        return;
    const int32_t selected = sleep_->SelectedValue();
    sleep_->ClearItems(0);
    if (const DeviceDescription* device = Context().Device()) {
        for (const int32_t seconds : device->SleepValues) {
            // Only real times: a zero ends nothing, a negative one is a damaged list.
            if (seconds > 0)
                sleep_->AddItem(0, seconds, SleepText(seconds, Context().texts));
        }
    }
    sleep_->SelectValue(selected);
}

void CLedDlg::RefreshTexts()
{
    FillEffectList(kMain);
    FillEffectList(kLogo);
    FillSleepList();
    update();
}

bool CLedDlg::HasZone(Zone zone) const
{
    const DeviceDescription* device = Context().Device();
    return device && (zone == kMain ? device->ShowMainEffect : device->ShowLogoEffect) != 0;
}

void CLedDlg::LayoutForDevice()
{
    const DeviceDescription* device = Context().Device();
    if (!device)
        return;
    for (const Zone zone : {kLogo, kMain}) {
        const ZoneControls& z = zones_[zone];
        for (QWidget* w : std::initializer_list<QWidget*>{z.effect, z.brightness, z.speed}) {
            if (w)
                w->setVisible(HasZone(zone));
        }
    }
    for (QWidget* w : std::initializer_list<QWidget*>{lightOff_, sleep_}) {
        if (w)
            w->setVisible(device->ShowSleep != 0);
    }
    mouse_ = LoadPicture(ModelPictureFile(device->CID, device->MID, QStringLiteral("mouse_led.png")), SkinScale());
    RefreshTexts();
}

CLedDlg::Shows CLedDlg::ShowsOf(Zone zone, int mode) const
{
    if (zone == kMain) {
        const LedEffectOption& effect = Context().options.LedEffect(mode);
        return {effect.LevelB != 0, effect.LevelA != 0, effect.ColourChoice != 0};
    }
    switch (mode) {
    case 1: return {true, false, true};
    case 2: return {true, true, true};
    case 3: return {true, true, false};
    default: return {};
    }
}

void CLedDlg::ShowZone(Zone zone, const ProfileRecord& profile)
{
    const LightingBlock& block = zone == kMain ? profile.mainLight : profile.logoLight;
    const ZoneControls& z = zones_[zone];
    const Shows shows = ShowsOf(zone, block.mode);
    if (z.effect) {
        z.effect->SelectIndex(-1);
        z.effect->SelectValue(block.mode);
    }
    // Values from a damaged or foreign profile are shown at the nearest end of the slider; the
    // profile keeps them until the user changes them.
    const int brightness = std::clamp(block.brightness, 1, kSteps);
    const int speed = std::clamp(block.speed, 1, zone == kMain ? kSteps : kLogoSpeedSteps);
    if (z.brightness) {
        z.brightness->setVisible(shows.brightness);
        z.brightness->SetValue(brightness);
    }
    if (z.speed) {
        z.speed->setVisible(shows.speed);
        z.speed->SetValue(speed);
    }
    brightnessLabel_->setVisible(shows.brightness && z.brightness);
    brightnessLabel_->SetText(QString::number(brightness));
    speedLabel_->setVisible(shows.speed && z.speed);
    speedLabel_->SetText(QString::number(speed));
    colourShown_ = shows.colour;
    result_->setVisible(shows.colour);
    for (QLineEdit* field : fields_)
        field->setVisible(shows.colour);
    ShowColour(block.colour);
}

void CLedDlg::ShowColour(int32_t colour)
{
    result_->SetColour(colour);
    for (size_t i = 0; i < fields_.size(); ++i) {
        const int component = (colour >> (8 * i)) & 0xFF;
        // A field that already reads the value keeps its text and caret.
        if (fields_[i]->text().toInt() != component || fields_[i]->text().isEmpty())
            fields_[i]->setText(QString::number(component));
    }
}

void CLedDlg::RefreshFromProfile()
{
    const std::optional<ProfileRecord> profile = Context().port.CurrentProfile();
    const DeviceDescription* device = Context().Device();
    if (!profile || !device)
        return;
    colourShown_ = false;
    for (const Zone zone : {kLogo, kMain}) {
        if (HasZone(zone))
            ShowZone(zone, *profile);
    }
    if (!HasZone(kMain) && !HasZone(kLogo)) {
        brightnessLabel_->hide();
        speedLabel_->hide();
        result_->hide();
        for (QLineEdit* field : fields_)
            field->hide();
    }
    if (sleep_) {
        sleep_->SelectIndex(-1);
        sleep_->SelectValue(profile->sleepTime);
    }
    if (lightOff_)
        lightOff_->setChecked(profile->lightOffMoving != 0);
    // A mouse found under PID keeps its own sleep time and light-off setting.
    const bool locked = Context().port.UnderPid();
    if (sleep_)
        sleep_->SetDisabled(locked);
    if (lightOff_)
        lightOff_->SetDisabled(locked);
    update();
}

CLedDlg::Zone CLedDlg::ColourZone() const
{
    const std::optional<ProfileRecord> profile = Context().port.CurrentProfile();
    if (HasZone(kMain) && profile && ShowsOf(kMain, profile->mainLight.mode).colour)
        return kMain;
    return HasZone(kLogo) ? kLogo : kMain;
}

void CLedDlg::Change(const DeviceEdit& edit)
{
    CMenuDlg::CloseOpen();
    if (!Context().Device())
        return;
    const DeviceDescription device = *Context().Device();
    Context().port.ChangeLighting([edit, device](ProfileRecord& p) { return edit(p, device); });
    // The edit is made at once (or refused): the controls show what the profile holds.
    RefreshFromProfile();
}

void CLedDlg::OnSlider(Zone zone, bool speed, int value)
{
    (speed ? speedLabel_ : brightnessLabel_)->SetText(QString::number(value));
    const AppOptions& options = Context().options;
    LightChange change;
    (speed ? change.speed : change.brightness) = value;
    Change([=, &options](ProfileRecord& p, const DeviceDescription& device) {
        return zone == kMain ? SetMainLight(p, change, device, options) : SetLogoLight(p, change, device);
    });
}

int32_t CLedDlg::FieldsColour() const
{
    // An unreadable field counts as 0.
    return Rgb(fields_[0]->text().toInt(), fields_[1]->text().toInt(), fields_[2]->text().toInt());
}

void CLedDlg::OnFieldEdited(int index)
{
    QLineEdit* field = fields_[size_t(index)];
    if (field->text().toInt() > 255) {
        field->setText(QStringLiteral("255"));
        field->setCursorPosition(int(field->text().size()));
    }
    if (!Context().port.SettingsChangeAllowed())
        return;
    const int32_t colour = FieldsColour();
    if (result_->isVisible())
        result_->SetColour(colour);
    TakeColour(colour);
}

void CLedDlg::TakeColour(int32_t colour)
{
    ShowColour(colour);
    const AppOptions& options = Context().options;
    LightChange change;
    change.colour = colour;
    const Zone zone = ColourZone();
    Change([=, &options](ProfileRecord& p, const DeviceDescription& device) {
        return zone == kMain ? SetMainLight(p, change, device, options) : SetLogoLight(p, change, device);
    });
}

QRect CLedDlg::PresetRect(int index) const
{
    const Point& grid = Context().options.ptGrid;
    return Scaled(QRect(grid.x + (index % kCellsPerRow) * kCellStride, grid.y + (index / kCellsPerRow) * kRowStride, kCell, kCell));
}

QRect CLedDlg::GradientRect() const
{
    return Scaled(At(Context().options.ptGradit, kGradientSize, kGradientSize));
}

bool CLedDlg::ColourControlsShown() const
{
    return colourShown_ && (HasZone(kMain) || HasZone(kLogo));
}

void CLedDlg::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    bool overColour = ColourControlsShown() && GradientRect().contains(at);
    for (int i = 0; i < kPresets && !overColour; ++i)
        overColour = ColourControlsShown() && PresetRect(i).contains(at);
    setCursor(overColour ? Qt::PointingHandCursor : Qt::ArrowCursor);
    PageWidget::mouseMoveEvent(event);
}

void CLedDlg::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && ColourControlsShown()) {
        const QRect gradient = GradientRect();
        if (gradient.contains(at) && !gradient_.isNull()) {
            CMenuDlg::CloseOpen();
            event->accept();
            if (Context().port.SettingsChangeAllowed())
                TakeColour(ColourOfPixel(gradient_.pixel(PixelsOf(gradient_, QRect(at - gradient.topLeft(), QSize(1, 1))).topLeft())));
            return;
        }
        for (int i = 0; i < kPresets; ++i) {
            if (PresetRect(i).contains(at)) {
                CMenuDlg::CloseOpen();
                event->accept();
                if (Context().port.SettingsChangeAllowed())
                    TakeColour(kPresetColours[size_t(i)]);
                return;
            }
        }
    }
    PageWidget::mousePressEvent(event);
}

void CLedDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!background_.isNull())
        painter.drawImage(rect(), background_);
    const AppOptions& o = Context().options;
    painter.setPen(ColourOf(o.Txt_clr));
    painter.setFont(Context().titleFont);
    painter.drawText(Scaled(kPageTitleRect), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Context().Text("tc_page4"));
    if (const DeviceDescription* device = Context().Device(); device && !mouse_.isNull())
        painter.drawImage(Scaled(QRect(device->LedMarkPoint.x, device->LedMarkPoint.y, 1, 1)).topLeft(), mouse_);
    if (!gradient_.isNull())
        painter.drawImage(GradientRect().topLeft(), gradient_);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < kPresets; ++i) {
        const QRect cell = PresetRect(i);
        painter.setPen(QPen(ColourOf(o.clrMacFrame), 1));
        painter.setBrush(ColourOf(kPresetColours[size_t(i)]));
        painter.drawRoundedRect(QRectF(cell).adjusted(0.5, 0.5, -0.5, -0.5), Scaled(4), Scaled(4));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setPen(ColourOf(o.Txt_clr));
    painter.setFont(WindowFont(Scaled(13), 400));
    const auto caption = [&](const QRect& r, const char* key, int align = Qt::AlignLeft) {
        painter.drawText(Scaled(r), align | Qt::AlignVCenter | Qt::TextSingleLine, Context().Text(key));
    };
    const auto shown = [](const QWidget* w) { return w && !w->isHidden(); };
    const CComboBtn* effect = shown(zones_[kMain].effect) ? zones_[kMain].effect : zones_[kLogo].effect;
    if (shown(effect)) {
        const QRect r = SkinRect(*effect);
        caption(QRect(QPoint(44, r.top()), QPoint(r.left() - 8, r.bottom())), "tc_adv_str8");
    }
    if (shown(brightnessLabel_))
        caption(QRect(o.ptLight.x, o.ptLight.y - 27, 150, 15), "tc_adv_str7");
    if (shown(speedLabel_))
        caption(QRect(o.ptSpeed.x, o.ptSpeed.y - 27, 150, 15), "tc_adv_str10");
    if (ColourControlsShown()) {
        const Point& grid = o.ptGrid;
        caption(QRect(QPoint(grid.x - 18, grid.y - 40), QPoint(grid.x + 162, grid.y - 22)), "tc_adv_str11");
        const char* letters[] = {"R", "G", "B"};
        for (int i = 0; i < 3; ++i) {
            const QRect field(o.ptRGBEdit.x + i * kFieldStride, o.ptRGBEdit.y, kFieldWidth, kFieldHeight);
            painter.drawText(Scaled(QRect(field.left() - 30, field.top(), 25, field.height())),
                             Qt::AlignRight | Qt::AlignVCenter, QLatin1String(letters[i]));
        }
    }
    if (shown(lightOff_)) {
        const QRect r = SkinRect(*lightOff_);
        caption(QRect(QPoint(r.right() + 10, r.top() - 4), QPoint(r.right() + 280, r.bottom() + 4)), "tc_adv_str23");
    }
    if (shown(sleep_)) {
        const QRect r = SkinRect(*sleep_);
        caption(QRect(QPoint(r.right() + 10, r.top()), QPoint(r.right() + 280, r.bottom())), "tc_adv_str20");
    }
}

}  // namespace zorvan
