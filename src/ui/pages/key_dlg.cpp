#include "ui/pages/key_dlg.h"

#include "app/configuration.h"
#include "app/message_box.h"
#include "macro/macro_library.h"
#include "profile/function_name.h"
#include "profile/key_menu.h"
#include "profile/profile_edits.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "skin/skin_loader.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/debounce_dlg.h"
#include "ui/pages/firekey_dlg.h"
#include "ui/pages/key_mark_dlg.h"
#include "ui/pages/key_menu_popup.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/pages/pick_macro_dlg.h"
#include "ui/pending_changes.h"

#include <QCursor>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <climits>

namespace zorvan {
namespace {

constexpr int kKeyWidth = 222;
constexpr int kKeyHeight = 19;
constexpr int kNumberSize = 18;
constexpr int kNumberGap = 8;
constexpr int kProfiles = 4;
constexpr int kMenuRowGuess = 20;  // MenuItems rows of this height decide the upward opening
constexpr int kTipThresholdLimit = 255;  // TipForDebounce above it is the tip text's top
constexpr int kTipWidth = 250;

const QRect kRestoreButton(707, 473, 111, 27);
const QRect kExportButton(825, 473, 80, 27);
const QRect kImportButton(912, 473, 80, 27);

int KeyCountOf(const DeviceDescription* device)
{
    return device ? std::clamp(device->KeyCount, 0, int(CKeyDlg::kKeys)) : 0;
}

}  // namespace

CKeyDlg::CKeyDlg(const PageContext& context, QWidget* parent)
    : TitledPage(context, parent, QStringLiteral("key_nr.png"), "tc_page1")
{
    for (int i = 0; i < kKeys; ++i)
        numbers_[size_t(i)] = LoadPicture(SkinFile(QStringLiteral("number/number%1.png").arg(i + 1)), SkinScale());
    BuildKeys();
    BuildProfileSelector();
    BuildCommandButtons();
    debounce_ = new CDebounceDlg(context, this);
    marks_ = new CKeyMarkDlg(this);
    // The marking looks where the pointer is once it has entered or left a key button (and when
    // the page is shown, in case it rests on one): nothing runs while the pointer rests.
    hoverMark_.setInterval(kHoverMarkMs);
    hoverMark_.setSingleShot(true);
    connect(&hoverMark_, &QTimer::timeout, this, [this] { MarkKeyUnder(QCursor::pos()); });
}

QRect CKeyDlg::KeyButtonRect(int key, int left, int top, int keyGap, bool fourK)
{
    // In 4K mode everything doubles but the gap between the keys.
    if (fourK)
        return QRect(2 * left, 2 * top + key * (2 * kKeyHeight + keyGap), 2 * kKeyWidth, 2 * kKeyHeight);
    return QRect(left, top + key * (kKeyHeight + keyGap), kKeyWidth, kKeyHeight);
}

QRect CKeyDlg::KeyNumberRect(const QRect& keyButton, bool fourK)
{
    const int size = fourK ? 2 * kNumberSize : kNumberSize;
    const int gap = fourK ? 2 * kNumberGap : kNumberGap;
    return QRect(keyButton.left() - gap - size, keyButton.top(), size, size);
}

void CKeyDlg::BuildKeys()
{
    const auto pictures = LoadSkinPictures(SkinLoader::kPngButton, {QStringLiteral("button_nr.png")});
    if (!pictures)
        return;
    const QImage& face = (*pictures)[0];
    for (int i = 0; i < kKeys; ++i) {
        auto* button = new CPngBtn(this);
        button->SetPictures(face, face, face);
        ApplySkinDefaults(button);
        connect(button, &CPngBtn::clicked, this, [this, i] { OpenKeyMenu(i); });
        button->installEventFilter(this);
        keys_[size_t(i)] = button;
    }
}

void CKeyDlg::BuildProfileSelector()
{
    const int left = Context().options.ptKey.x;
    const QRect area(QPoint(left + 111, 20), QPoint(left + 222 - 1, 50 - 1));
    const auto pictures = LoadSkinPictures(SkinLoader::kPngButton, {QStringLiteral("combo3_nr.png")});
    if (!pictures)
        return;
    profiles_ = new CComboBtn(this);
    const QSize size = IsFourK() ? area.size() * 2 : SkinSize((*pictures)[0]);
    profiles_->setGeometry(QRect(Scaled(area).topLeft(), size));
    profiles_->SetPictures((*pictures)[0], (*pictures)[0], (*pictures)[0]);
    if (!Background().isNull())
        profiles_->SetBackground(PictureArea(Background(), profiles_->geometry()));
    ApplySkinDefaults(profiles_);
    profiles_->SetIgnoreReselection(true);
    profiles_->SetAcceptCheck([this] { return Context().port.SettingsChangeAllowed(); });
    FillProfileSelector();
    profiles_->setVisible(Context().options.ShowProfile != 0);
    connect(profiles_, &CComboBtn::clicked, this, [this] {
        // The session switches the profile once the mouse confirms, and the pages follow its
        // read; a switch that failed shows the current profile again. Changes still kept for
        // the profile being left are offered to the mouse first: the read would replace them.
        OfferPendingChanges(this, Context().port);
        QPointer<CKeyDlg> self(this);
        Context().port.SelectProfile(profiles_->SelectedValue(), [self](ChangeResult result) {
            if (self && result != ChangeResult::kMade)
                self->SelectShownProfile();
        });
    });
}

void CKeyDlg::FillProfileSelector()
{
    if (!profiles_)
        return;
    const int shown = profiles_->SelectedValue();
    profiles_->ClearItems(0);
    for (int n = 0; n < kProfiles; ++n)
        profiles_->AddItem(0, n, QStringLiteral("%1 %2").arg(Context().Text("tc_msg35")).arg(n + 1));
    profiles_->SelectValue(shown);
    profiles_->setAccessibleName(Context().Text("tc_msg35"));
}

void CKeyDlg::BuildCommandButtons()
{
    const auto button = [this](const QRect& place, const char* picture, const char* textKey,
                               const std::function<void()>& action) -> CPngBtn* {
        const QString name = QString::fromLatin1(picture);
        SkinButtonSpec look{place, name, name, name, Context().Text(textKey)};
        look.parentPicture = Background();
        CPngBtn* made = NewSmallPngButton(this, look);
        if (made) {
            connect(made, &CPngBtn::clicked, this, [action] {
                CMenuDlg::CloseOpen();
                if (action)
                    action();
            });
        }
        return made;
    };
    restore_ = button(kRestoreButton, "reset_nr.png", "tc_restore", Context().restoreDefaults);
    export_ = button(kExportButton, "button2_nr.png", "tc_msg32", Context().exportProfile);
    import_ = button(kImportButton, "button2_nr.png", "tc_msg33", Context().importProfile);
}

void CKeyDlg::LayoutForDevice()
{
    CMenuDlg::CloseOpen();
    const DeviceDescription* device = Context().Device();
    const AppOptions& o = Context().options;
    keyCount_ = KeyCountOf(device);
    const int gap = device ? device->KeyHeight : 10;
    for (int i = 0; i < kKeys; ++i) {
        CPngBtn* button = keys_[size_t(i)];
        if (!button)
            continue;
        button->setGeometry(KeyButtonRect(i, o.ptKey.x, o.ptKey.y, gap, IsFourK()));
        if (!Background().isNull())
            button->SetBackground(PictureArea(Background(), button->geometry()));
        const bool masked = (o.KeyMask & (1 << i)) != 0;
        if (masked)
            button->SetTextColours(kMaskedKeyText, kMaskedKeyText, kMaskedKeyText);
        else
            button->SetTextColours(o.Btn_txt_clr_ov, o.Btn_txt_clr_nr, o.Btn_txt_clr_dn);
        button->setVisible(i < keyCount_);
    }
    debounceShown_ = device && device->ShowDebounce != 0;
    debounce_->setVisible(debounceShown_);
    LoadMousePicture();
    update();
}

void CKeyDlg::LoadMousePicture()
{
    const DeviceDescription* device = Context().Device();
    if (!device) {
        marks_->hide();
        return;
    }
    marks_->show();
    if (marks_->Load(*device, Background(), keyCount_))
        return;
    // Told once per picture: the layout is made again on every take-over.
    const QString name = CKeyMarkDlg::NormalPictureName(*device);
    if (missingPictures_.insert(name).second)
        ShowMessage(QString(), QStringLiteral("Can't load %1").arg(name));
}

void CKeyDlg::RefreshFromProfile()
{
    SelectShownProfile();
    ShowKeyTexts();
    if (const auto profile = Context().port.CurrentProfile(); profile && profile->IsValid())
        debounce_->SetValue(profile->debounce);
}

void CKeyDlg::SelectShownProfile()
{
    if (profiles_)
        profiles_->SelectValue(Context().port.CurrentProfileIndex());
}

void CKeyDlg::RefreshTexts()
{
    for (auto [button, key] : {std::pair{restore_, "tc_restore"}, {export_, "tc_msg32"}, {import_, "tc_msg33"}}) {
        if (button)
            button->SetText(Context().Text(key));
    }
    FillProfileSelector();
    debounce_->setAccessibleName(Context().Text("tc_adv_str21"));
    ShowKeyTexts();
    update();
}

void CKeyDlg::ShowKeyTexts()
{
    const DeviceDescription* device = Context().Device();
    std::optional<ProfileRecord> profile = Context().port.CurrentProfile();
    if (!device || !profile)
        return;
    const DeviceDescription model = *device;
    const SensorTables& sensors = Config().sensors;
    const AppOptions& options = Context().options;
    const int set = profile->KeySetIndex();
    const auto nameOf = [&](int key) { return FunctionName(profile->Key[set][key], model, options, sensors); };
    // A key without a name takes its default, and the profile keeps it.
    bool unnamed = false;
    for (int i = 0; i < keyCount_; ++i)
        unnamed = unnamed || nameOf(i).isEmpty();
    if (unnamed && profile->IsValid()) {
        const KeyTable* defaults = &Config().defaultKeys;
        Context().port.RepairProfile([model, &options, &sensors, defaults](ProfileRecord& p) {
            return RepairUnnamedKeys(p, model, options, sensors, *defaults);
        });
        profile = Context().port.CurrentProfile();
        if (!profile)
            return;
    }
    for (int i = 0; i < keyCount_; ++i)
        SetKeyText(i, nameOf(i));
}

void CKeyDlg::SetKeyText(int key, const QString& name)
{
    CPngBtn* button = keys_[size_t(key)];
    if (!button)
        return;
    button->SetText(name);
    button->SetTip(Context().options.BtnTips != 0 ? name : QString());
    button->setAccessibleName(QStringLiteral("%1 %2: %3").arg(Context().Text("tc_page1")).arg(key + 1).arg(name));
}

bool CKeyDlg::KeyNumberShown(int key) const
{
    return key >= 0 && key < keyCount_ && keys_[size_t(key)] && !numbers_[size_t(key)].isNull();
}

void CKeyDlg::OpenKeyMenu(int key)
{
    CMenuDlg::CloseOpen();
    const DeviceDescription* device = Context().Device();
    const AppOptions& o = Context().options;
    if (!device || key < 0 || key >= kKeys || !keys_[size_t(key)] || !KeyEditable(key, *device, o))
        return;
    CPngBtn* button = keys_[size_t(key)];
    const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
    const QScreen* screen = button->screen();
    const int workAreaBottom = screen ? screen->availableGeometry().bottom() + 1 : INT_MAX;
    const MenuPlace place = KeyMenuPlace(onScreen, Scaled(o.MenuW), o.MenuItems * Scaled(kMenuRowGuess), workAreaBottom);
    std::vector<MenuEntry> entries = KeyMenuForPopup(KeyMenuEntries(*device, o, Config().sensors));
    CMenuDlg* menu = CMenuDlg::Open(this, std::move(entries), place.width, place.topLeft, o.Menu_txt_clr_nr,
                                    o.Menu_txt_clr_ov);
    menu->setAccessibleName(button->accessibleName());
    // Handled once the menu's own event is over: a pick may open a modal dialog.
    connect(menu, &CMenuDlg::picked, this,
            [this, key](int32_t code) { OnFunctionPicked(key, uint32_t(code)); }, Qt::QueuedConnection);
}

void CKeyDlg::OnFunctionPicked(int key, uint32_t code)
{
    CMenuDlg::CloseOpen();
    const DeviceDescription* device = Context().Device();
    const std::optional<ProfileRecord> profile = Context().port.CurrentProfile();
    const AppOptions& o = Context().options;
    if (!device || !profile || !profile->IsValid() || !KeyEditable(key, *device, o))
        return;
    if (!Context().port.SettingsChangeAllowed())
        return;

    PickDetails details;
    if (FunClass(code) == kClassMacro) {
        if (Macros().Count() == 0) {
            if (CMsgDlg::Message(this, Context().Text("tc_msg9")) == CMsgDlg::kOk)
                Context().switchPage(kMacroPage);
            return;
        }
        const std::optional<int> chosen = CPickMacroDlg::Pick(this, Context());
        if (!chosen)
            return;
        if (*chosen == -1) {
            Context().switchPage(kMacroPage);
            return;
        }
        details.macroId = uint32_t(*chosen);
    } else if (FunClass(code) == kClassCombo) {
        const auto combo = CMsgDlg::CaptureCombo(this, Context().Text("tc_combo_tips"), o.ComboRec != 0, false);
        if (!combo || *combo == Combo{})
            return;
        details.combo = *combo;
    } else if (FunCode(code) == FunCode(kFunFire)) {
        const KeyAssignment* current = profile->CurrentKey(key);
        const auto fire = CFirekeyDlg::Open(this, current ? *current : KeyAssignment{});
        if (!fire)
            return;
        details.fireCount = fire->count;
        details.fireInterval = fire->interval;
    }
    const DeviceDescription model = *device;
    const KeyTable* defaults = &Config().defaultKeys;
    QPointer<CKeyDlg> self(this);
    Context().port.ChangeSetting(
        [key, code, details, model, defaults](ProfileRecord& p) {
            return PickFunction(p, key, code, details, model, *defaults);
        },
        [self](ChangeResult) {
            if (self)
                self->ShowKeyTexts();
        });
}

void CKeyDlg::AssignRecord(int key, const KeyAssignment& record)
{
    CMenuDlg::CloseOpen();
    const KeyTable* defaults = &Config().defaultKeys;
    QPointer<CKeyDlg> self(this);
    Context().port.ChangeSetting([key, record, defaults](ProfileRecord& p) { return AssignKey(p, key, record, *defaults); },
                                 [self](ChangeResult) {
                                     if (self)
                                         self->ShowKeyTexts();
                                 });
}

void CKeyDlg::MarkKeyUnder(const QPoint& global)
{
    if (!marks_->HasMarkedPicture())
        return;
    int under = -1;
    for (int i = 0; i < keyCount_ && under < 0; ++i) {
        const CPngBtn* button = keys_[size_t(i)];
        if (button && button->isVisible() && button->rect().contains(button->mapFromGlobal(global)))
            under = i;
    }
    marks_->Highlight(under);
}

void CKeyDlg::showEvent(QShowEvent* event)
{
    hoverMark_.start();
    TitledPage::showEvent(event);
}

void CKeyDlg::hideEvent(QHideEvent* event)
{
    hoverMark_.stop();
    TitledPage::hideEvent(event);
}

bool CKeyDlg::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::Enter || event->type() == QEvent::Leave) && isVisible())
        hoverMark_.start();
    return TitledPage::eventFilter(watched, event);
}

void CKeyDlg::paintEvent(QPaintEvent* event)
{
    TitledPage::paintEvent(event);
    QPainter painter(this);
    for (int i = 0; i < keyCount_; ++i) {
        if (KeyNumberShown(i))
            painter.drawImage(KeyNumberRect(keys_[size_t(i)]->geometry(), IsFourK()), numbers_[size_t(i)]);
    }
    // TipForDebounce above 255 is where the debounce tip stands, above the control.
    const int tipTop = Context().options.TipForDebounce;
    const QRect control = CDebounceDlg::kPlace;
    if (debounceShown_ && tipTop > kTipThresholdLimit && tipTop < control.top()) {
        painter.setPen(ColourOf(Context().options.Txt_clr));
        painter.setFont(ApplicationFont().value_or(ShellFont(IsFourK() ? 26 : 16, IsFourK() ? 500 : 400)));
        const QRect area(QPoint(control.left(), tipTop), QPoint(control.left() + kTipWidth - 1, control.top() - 1));
        painter.drawText(Scaled(area), Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                         Context().Text("tc_debounce_tips"));
    }
}

}  // namespace zorvan
