#include "ui/zorvan_dlg.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "macro/macro_library.h"
#include "profile/profile_transfer.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "skin/skin_loader.h"
#include "text/language_choice.h"
#include "text/language_texts.h"
#include "ui/about_dlg.h"
#include "ui/app_icon.h"
#include "ui/autostart.h"
#include "ui/button_looks.h"
#include "ui/desktop_notifications.h"
#include "ui/mouse_status.h"
#include "ui/window_placement.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/pages/power_dlg.h"
#include "ui/pages/page_widget.h"
#include "ui/progress_dlg.h"
#include "ui/device_port.h"
#include "ui/mouse_backup_ui.h"
#include "ui/freed_memory.h"
#include "ui/pending_changes.h"
#include "ui/skin_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWindow>

#include <memory>
#include <utility>

namespace zorvan {
namespace {

constexpr int kTrayLeftButtonUp = 514;
constexpr int kTrayRightButtonUp = 517;
constexpr int kInitialisationWaitMs = 1000;
const Rect kDefaultPageArea{2, 160, 1019, 690};
// The status line: in the navigation row, right of the navigation buttons, before the edge.
const QRect kStatusLine(300, 122, 700, 24);
// At the end, how long changes still being written may hold the program.
constexpr int kExitWriteWait = 3000;

bool TrayWanted(int option)
{
    return option == 1 || option == 3;
}

bool SwallowedKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Space ||
           key == Qt::Key_F1;
}

// The tray menu in the skin's colours: the window text colour, the menu's hover colour.
QString TrayMenuStyle()
{
    const QString text = ColourOf(Options().Txt_clr).name();
    const QString hover = ColourOf(Options().Menu_txt_clr_ov).name();
    return QStringLiteral("QMenu { background: #181c23; border: 1px solid #2a303b; padding: 4px; color: %1; }"
                          "QMenu::item { padding: 6px 24px; border-radius: 4px; }"
                          "QMenu::item:selected { background: #1e2c3a; color: %2; }"
                          "QMenu::separator { height: 1px; background: #2a303b; margin: 4px 6px; }")
        .arg(text, hover);
}

// Tooltips in the window's colours instead of the desktop's pale yellow.
void ThemeToolTips()
{
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, QColor(0x18, 0x1c, 0x23));
    palette.setColor(QPalette::ToolTipText, ColourOf(Options().Txt_clr));
    QToolTip::setPalette(palette);
}

// The program the autostart entry starts: its name when the search path finds this very
// program (an installed copy), else its full path.
QString ProgramForAutostart()
{
    const QString self = QCoreApplication::applicationFilePath();
    const QString found = QStandardPaths::findExecutable(QStringLiteral("zorvan"));
    return !found.isEmpty() && QFileInfo(found).canonicalFilePath() == QFileInfo(self).canonicalFilePath()
               ? QStringLiteral("zorvan")
               : self;
}

// A ".qxa" file picked in a file dialog (to write when `save`), or empty.
QString ProfileFileDialog(QWidget* parent, bool save)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("qxa(*.qxa)"));
    dialog.setDefaultSuffix(QStringLiteral("qxa"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QRect ToQRect(const Rect& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

}  // namespace

CZorvanDlg::CZorvanDlg(DevicePort& session, bool hasArguments, const QString& title, std::vector<PageEntry> pages)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      session_(session),
      title_(title),
      shown_(!hasArguments),
      trayIconOption_(hasArguments ? 1 : Options().TrayIcon),
      entries_(std::move(pages)),
      context_{session,
               Options(),
               Texts(),
               QRect(),
               QFont(),
               [this](int page) { SwitchPage(page); },
               [this] { RestoreDefaults(); },
               [this] { ExportProfile(); },
               [this] { ImportProfile(); },
               [this] { OnMacrosChanged(); }},
      navi_(entries_.size(), nullptr),
      pages_(entries_.size(), nullptr)
{
    setFont(WindowFont(16, 400));
    chooseProfileFile = [this](bool save) { return ProfileFileDialog(this, save); };
    connect(&session_, &DevicePort::readStarted, this, [this] { QTimer::singleShot(0, this, &CZorvanDlg::ShowWaitMessage); });
    connect(&session_, &DevicePort::profileRead, this, &CZorvanDlg::RefreshPagesFromProfile);
    connect(&session_, &DevicePort::deviceChanged, this, [this] {
        // The pages show the model's local profile at once; the mouse's own follows its read.
        for (PageWidget* page : pages_) {
            if (page) {
                page->LayoutForDevice();
                page->RefreshFromProfile();
            }
        }
        UpdateLightingButton();
        UpdateMouseStatus();
    });
    connect(&session_, &DevicePort::powerRead, this, &CZorvanDlg::OnPowerRead);
    connect(&session_, &DevicePort::deviceLost, this, [this] {
        if (power_)
            power_->hide();
        linked_.reset();
        UpdateMouseStatus();
    });
    connect(&session_, &DevicePort::linkRead, this, [this](bool linked) {
        linked_ = linked;
        UpdateMouseStatus();
    });
    connect(&session_, &DevicePort::profileRead, this, &CZorvanDlg::UpdateMouseStatus);
    // The status follows what the searches find (nodes without access, a receiver alone).
    connect(&session_, &DevicePort::searchChanged, this, &CZorvanDlg::UpdateMouseStatus);
    notifications_ = new BatteryNotifications(title_, BatteryNotifications::FreedesktopService(),
                                              [this](const QString& summary, const QString& body) { ShowBalloon(summary, body); },
                                              this);
    connect(&session_, &DevicePort::closeRequested, this, &CZorvanDlg::OnCloseRequested);
    connect(&Texts(), &LanguageTexts::Changed, this, &CZorvanDlg::RefreshPageTexts);
}

CZorvanDlg::~CZorvanDlg()
{
    CMenuDlg::CloseOpen();
    CMenuDlg::ReleasePictures();
    if (tray_)
        tray_->hide();
}

bool CZorvanDlg::Init()
{
    const QString iconPath = Paths().appDir + QStringLiteral("appico.ico");
    icon_ = QIcon(iconPath);
    if (icon_.isNull() || icon_.availableSizes().isEmpty()) {
        Log("Load Icon err=%x", 2);
        icon_ = BuiltInIcon();
    }
    setWindowIcon(icon_);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        DecideFourK(screen->availableGeometry().size());
    CMenuDlg::LoadPictures();
    titleFont_ = ShellFont(IsFourK() ? 34 : 24, 700);
    context_.titleFont = titleFont_;
    setWindowTitle(title_);
    ThemeToolTips();
    LoadChosenLanguage();
    if (!BuildSkin())
        return false;

    // The device search runs beside the initialisation wait (its pauses would hold this thread);
    // the window shows once both are over, and never when the search decides it must not run.
    QTimer::singleShot(kInitialisationWaitMs, this, [this] {
        waited_ = true;
        ShowWhenStarted();
    });
    QPointer<CZorvanDlg> self(this);
    session_.CountDevices([self](int devices) {
        if (self)
            self->OnDevicesCounted(devices);
    });
    return !exiting_;
}

void CZorvanDlg::OnDevicesCounted(int devices)
{
    if (exiting_)
        return;
    Log("nDevNum=%d", devices);
    UpdateMouseStatus();
    if (devices <= 0 && !accessDetails_.isEmpty())
        ShowMessage(QStringLiteral("Warning"), accessDetails_);
    if (devices <= 0 && Options().Suwnd == 0) {
        CMsgDlg::Message(this, GetText("tc_msg15"));
        RequestClose();
        return;
    }
    // The user's macros, before the mouse's profile read merges the macros of its keys.
    LoadMacroLibrary();
    if (TrayWanted(trayIconOption_))
        AddTrayIcon();
    session_.Start();
    started_ = true;
    ShowWhenStarted();
}

void CZorvanDlg::ShowWhenStarted()
{
    if (started_ && waited_ && shown_ && !exiting_)
        ShowMainWindow();
}

bool CZorvanDlg::BuildSkin()
{
    const QString file = SkinFile(QStringLiteral("key_nr.png"));
    background_ = LoadPicture(file, SkinScale());
    if (background_.width() == 0) {
        ShowMessage(QStringLiteral("Error"), QStringLiteral("Load skins failed."));
        RequestClose();
        return false;
    }
    if (Options().clrMask != 0)
        setMask(ShapeFromPicture(background_, Options().clrMask, kMainWindowShapeTolerance));
    setFixedSize(SkinSize(background_));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(InitialWindowPosition(screen->availableGeometry(), size()));
    BuildTitleButtons();
    BuildLanguageSelector();
    BuildNavigation();
    BuildHomeLink();
    BuildStatusLine();
    BuildApplyButton();
    power_ = new CPowerDlg(this, background_);
    SetPageArea();
    SwitchPage(kKeyPage);
    UpdateLightingButton();
    UpdateTexts();
    return true;
}

void CZorvanDlg::BuildTitleButtons()
{
    const Point m = Options().ptMin;
    const auto make = [this](const QRect& r, const char* name) {
        const QString file = QString::fromLatin1(name);
        SkinButtonSpec look{r, file, file, file};
        look.parentPicture = background_;
        CPngBtn* button = NewSmallPngButton(this, look);
        if (button)
            GiveStateLooks(button, file);
        return button;
    };
    minButton_ = make(QRect(m.x, m.y, 25, 25), "min_nr.png");
    closeButton_ = make(QRect(m.x + 28, m.y, 25, 25), "exit_nr.png");
    helpButton_ = make(QRect(m.x - 28, m.y, 25, 25), "help_nr.png");
    if (minButton_)
        connect(minButton_, &CPngBtn::clicked, this, &CZorvanDlg::OnMinimiseButton);
    if (closeButton_)
        connect(closeButton_, &CPngBtn::clicked, this, &CZorvanDlg::OnCloseButton);
    if (helpButton_)
        connect(helpButton_, &CPngBtn::clicked, this, [this] {
            CAboutDlg about(this, session_.Connected() ? session_.FirmwareVersion() : std::nullopt);
            about.exec();
        });
}

void CZorvanDlg::BuildLanguageSelector()
{
    const Point m = Options().ptMin;
    const QRect area(QPoint(m.x - 161, m.y - 2), QPoint(m.x - 50 - 1, m.y + 28 - 1));
    const auto pictures = LoadSkinPictures(SkinLoader::kPngButton, {QStringLiteral("combo3_nr.png")});
    if (!pictures)
        return;
    language_ = new CComboBtn(this);
    const QSize size = IsFourK() ? area.size() * 2 : SkinSize((*pictures)[0]);
    language_->setGeometry(QRect(Scaled(area).topLeft(), size));
    language_->SetPictures((*pictures)[0], (*pictures)[0], (*pictures)[0]);
    language_->SetBackground(PictureArea(background_, language_->geometry()));
    ApplySkinDefaults(language_);
    language_->SetTextFont(ShellFont(IsFourK() ? 24 : 14, 400));
    language_->SetIgnoreReselection(true);
    const AppOptions& o = Options();
    FillLanguageSelector();
    language_->setVisible(o.LanguageCount() > 0);
    connect(language_, &CComboBtn::clicked, this, [this] { SwitchLanguage(language_->SelectedValue()); });
}

void CZorvanDlg::FillLanguageSelector()
{
    if (!language_)
        return;
    // The current language is marked in the list (and so in the caption).
    const AppOptions& o = Options();
    const int current = CurrentLanguage();
    language_->ClearItems(0);
    for (int i = 0; i < o.LanguageCount(); ++i) {
        const QString name = o.Languages[size_t(i)].name;
        language_->AddItem(0, i, i == current ? QStringLiteral("\u2713 ") + name : name);
    }
    language_->SelectValue(current);
    // The caption shows the plain name; the mark is for the list.
    if (current >= 0 && current < o.LanguageCount())
        language_->SetText(o.Languages[size_t(current)].name);
    language_->setAccessibleName(GetText("tc_language"));
}

void CZorvanDlg::BuildNavigation()
{
    const AppOptions& o = Options();
    const int w = o.NaviW >= 1 ? o.NaviW : 60;
    const int gap = o.NaviW >= 1 ? 0 : 4;
    for (size_t n = 0; n < navi_.size(); ++n) {
        const QString number = QString::number(n + 1);
        SkinButtonSpec look{QRect(o.ptNavi.x + int(n) * (w + gap), o.ptNavi.y, w, 49),
                            QStringLiteral("navi%1_nr.png").arg(number), QStringLiteral("navi%1_nr.png").arg(number),
                            QStringLiteral("navi%1_dn.png").arg(number)};
        look.parentPicture = background_;
        navi_[n] = NewSmallPngButton(this, look);
        if (!navi_[n])
            continue;
        navi_[n]->setCursor(Qt::PointingHandCursor);
        const int page = entries_[n].page;
        connect(navi_[n], &CPngBtn::clicked, this, [this, page] { SwitchPage(page); });
    }
}

void CZorvanDlg::BuildHomeLink()
{
    const Rect r = Options().rcHomePageBtn;
    const auto open = [] {
        const QString web = GetText("tc_mainweb");
        if (!web.isEmpty())
            QDesktopServices::openUrl(QUrl::fromUserInput(web));
    };
    if (!r.IsEmpty()) {
        homeLink_ = NewTextButton(this, ToQRect(r), background_, background_, background_, QString());
        if (!GetText("tc_mainweb").isEmpty())
            homeLink_->setCursor(Qt::PointingHandCursor);
    } else if (!GetText("tc_mainweb").isEmpty()) {
        homeLink_ = NewTextButton(this, QRect(25, 672, 130, 18), background_, background_, background_,
                                  GetText("tc_mainweb"));
    }
    if (homeLink_)
        connect(homeLink_, &CPngBtn::clicked, this, open);
}

void CZorvanDlg::BuildStatusLine()
{
    status_ = NewTextButton(this, kStatusLine, background_, background_, background_, QString());
    status_->setObjectName(QStringLiteral("mouseStatus"));
    status_->SetText(QString(), 0, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine);
    connect(status_, &CPngBtn::clicked, this, &CZorvanDlg::OnStatusClicked);
}

void CZorvanDlg::BuildApplyButton()
{
    if (Options().ApplyNow != 0)
        return;
    // Left of the language selector, level with it.
    const Point m = Options().ptMin;
    const QString face = QStringLiteral("button2_nr.png");
    SkinButtonSpec look{QRect(m.x - 161 - 8 - 80, m.y - 1, 80, 27), face, face, face, GetText("tc_apply")};
    look.parentPicture = background_;
    apply_ = NewSmallPngButton(this, look);
    if (!apply_)
        return;
    apply_->setVisible(session_.ChangesPending());
    connect(apply_, &CPngBtn::clicked, this, [this] {
        CMenuDlg::CloseOpen();
        session_.WritePending();
    });
    connect(&session_, &DevicePort::pendingChanged, apply_, [this] { apply_->setVisible(session_.ChangesPending()); });
}

void CZorvanDlg::UpdateMouseStatus()
{
    const MouseStatus status = StatusOf(session_, linked_);
    if (tray_) {
        const QString tip =
            status.text.isEmpty() ? windowTitle() : windowTitle() + QStringLiteral(" \u2013 ") + status.text;
        if (tray_->toolTip() != tip)
            tray_->setToolTip(tip);
    }
    // Said again only when it changed: nothing is drawn while nothing happens.
    if (status_ && status_->Text() == status.text && accessDetails_ == status.details)
        return;
    accessDetails_ = status.details;
    const AppOptions& o = Options();
    if (status_) {
        status_->SetText(status.text, 0, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine);
        status_->setAccessibleName(status.text);
        // Only the explanation of a missing access is behind the line: it looks clickable then.
        const bool clickable = !accessDetails_.isEmpty();
        status_->setCursor(clickable ? Qt::PointingHandCursor : Qt::ArrowCursor);
        status_->SetTextColours(clickable ? o.Btn_txt_clr_ov : o.Txt_clr, o.Txt_clr, clickable ? o.Btn_txt_clr_dn : o.Txt_clr);
        status_->SetTip(clickable ? accessDetails_ : QString());
        status_->update();
    }
}

void CZorvanDlg::OnStatusClicked()
{
    if (!accessDetails_.isEmpty())
        ShowMessage(QStringLiteral("Warning"), accessDetails_);
}

void CZorvanDlg::SetPageArea()
{
    AppOptions& o = Config().opt;
    if (o.rcSubDlg.right - o.rcSubDlg.left <= 0)
        o.rcSubDlg = kDefaultPageArea;
    context_.area = Scaled(ToQRect(o.rcSubDlg));
}

int CZorvanDlg::EntryOf(int page) const
{
    for (size_t n = 0; n < entries_.size(); ++n)
        if (entries_[n].page == page)
            return int(n);
    return -1;
}

PageWidget* CZorvanDlg::BuiltPage(int page) const
{
    const int n = EntryOf(page);
    return n < 0 ? nullptr : pages_[size_t(n)];
}

PageWidget* CZorvanDlg::PageAt(int page)
{
    const int n = EntryOf(page);
    if (n < 0)
        return nullptr;
    PageWidget*& built = pages_[size_t(n)];
    if (!built) {
        // Built on first use: a page never shown costs neither its controls nor its cropped
        // background. It catches up with the device and the profile the others already show.
        built = entries_[size_t(n)].make(context_, this);
        built->setAccessibleName(GetText(entries_[size_t(n)].titleKey));
        built->hide();
        built->LayoutForDevice();
        built->RefreshFromProfile();
        QTimer::singleShot(0, this, &ReturnFreedMemory);
    }
    return built;
}

void CZorvanDlg::UpdateLightingButton()
{
    const DeviceDescription* device = session_.CurrentDevice();
    const bool lighting = !device || device->ShowMainEffect != 0 || device->ShowLogoEffect != 0;
    if (const int n = EntryOf(kLightingPage); n >= 0 && navi_[size_t(n)])
        navi_[size_t(n)]->setVisible(lighting);
    // A model without lighting has no lighting page to show: the buttons page takes its place.
    if (!lighting && currentPage_ == kLightingPage)
        SwitchPage(kKeyPage);
}

void CZorvanDlg::UpdateTexts()
{
    for (size_t n = 0; n < navi_.size(); ++n) {
        if (!navi_[n])
            continue;
        navi_[n]->setAccessibleName(GetText(entries_[n].titleKey));
        if (Options().BtnTips)
            navi_[n]->SetTip(GetText(entries_[n].titleKey));
    }
    if (configAction_)
        configAction_->setText(GetText("tc_config"));
    if (exitAction_)
        exitAction_->setText(GetText("tc_exit"));
    if (backupAction_) {
        backupAction_->setText(GetText("tc_backup1"));
        restoreAction_->setText(GetText("tc_backup2"));
    }
    if (autostartAction_)
        autostartAction_->setText(GetText("tc_autostart"));
    if (notifyAction_)
        notifyAction_->setText(GetText("tc_notify"));
    const auto name = [](CPngBtn* button, const QString& text) {
        if (!button)
            return;
        button->setAccessibleName(text);
        button->SetTip(text);
    };
    name(minButton_, GetText("tc_minimize"));
    name(closeButton_, GetText(Options().ExitType == 0 ? "tc_exit" : "tc_close"));
    name(helpButton_, GetText("tc_about"));
    if (apply_) {
        apply_->SetText(GetText("tc_apply"));
        apply_->setAccessibleName(GetText("tc_apply"));
    }
    UpdateMouseStatus();
    if (homeLink_ && Options().rcHomePageBtn.IsEmpty())
        homeLink_->SetText(GetText("tc_mainweb"));
    // The language may have been switched elsewhere than in the selector.
    FillLanguageSelector();
}

void CZorvanDlg::AddTrayIcon()
{
    tray_ = new QSystemTrayIcon(icon_, this);
    tray_->setToolTip(windowTitle());
    trayMenu_ = new QMenu(this);
    trayMenu_->setObjectName(QStringLiteral("trayMenu"));
    trayMenu_->setStyleSheet(TrayMenuStyle());
    configAction_ = trayMenu_->addAction(GetText("tc_config"), this, &CZorvanDlg::ShowMainWindow);
    backupAction_ = trayMenu_->addAction(GetText("tc_backup1"), this, [this] {
        if (const QString file = ChooseBackupFile(this, true); !file.isEmpty())
            BackUpMouse(this, session_, file);
    });
    restoreAction_ = trayMenu_->addAction(GetText("tc_backup2"), this, [this] {
        if (const QString file = ChooseBackupFile(this, false); !file.isEmpty())
            RestoreMouse(this, session_, file);
    });
    trayMenu_->addSeparator();
    autostartAction_ = trayMenu_->addAction(GetText("tc_autostart"));
    autostartAction_->setCheckable(true);
    autostartAction_->setChecked(AutostartEnabled());
    connect(autostartAction_, &QAction::toggled, this, [this](bool on) {
        if (!SetAutostart(on, ProgramForAutostart())) {
            const QSignalBlocker block(autostartAction_);
            autostartAction_->setChecked(AutostartEnabled());
        }
    });
    notifyAction_ = trayMenu_->addAction(GetText("tc_notify"));
    notifyAction_->setCheckable(true);
    notifyAction_->setChecked(notifications_->Enabled());
    connect(notifyAction_, &QAction::toggled, notifications_, &BatteryNotifications::SetEnabled);
    trayMenu_->addSeparator();
    exitAction_ = trayMenu_->addAction(GetText("tc_exit"), this, [this] {
        OfferPendingChanges(this, session_);
        ExitProgram();
    });
    tray_->setContextMenu(trayMenu_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            OnTrayMessage(kTrayLeftButtonUp);
    });
    tray_->show();
    UpdateMouseStatus();
}

void CZorvanDlg::ShowBalloon(const QString& summary, const QString& body)
{
    if (tray_ && QSystemTrayIcon::supportsMessages())
        tray_->showMessage(summary, body, icon_);
    else
        Log("Battery notification not shown: no notification service and no tray");
}

void CZorvanDlg::OnTrayMessage(int mouseMessage)
{
    if (mouseMessage == kTrayLeftButtonUp) {
        ShowMainWindow();
    } else if (mouseMessage == kTrayRightButtonUp && trayMenu_) {
        trayMenu_->popup(QCursor::pos());
    }
}

void CZorvanDlg::setVisible(bool visible)
{
    // While the shown flag is clear (started into the tray), nothing shows the window.
    if (visible && !shown_)
        return;
    QWidget::setVisible(visible);
}

void CZorvanDlg::ShowMainWindow()
{
    // An ending program stays hidden: neither the start-up's late show nor the tray or a second
    // copy brings the window back while the last writes finish.
    if (exiting_)
        return;
    // Asked (by a second copy) before the device search let the program run: shown once it has.
    if (!started_) {
        shown_ = true;
        return;
    }
    if (isVisible() && !isMinimized()) {
        raise();
        activateWindow();
        return;
    }
    shown_ = true;
    TellShown(1);
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    // A read that started while the window was hidden gets its wait message now.
    if (session_.Reading())
        QTimer::singleShot(0, this, &CZorvanDlg::ShowWaitMessage);
}

void CZorvanDlg::TellShown(int shown)
{
    if (session_.Connected())
        session_.TellDrvStatus(shown);
}

void CZorvanDlg::HideToTray()
{
    if (tray_ && QSystemTrayIcon::isSystemTrayAvailable())
        hide();
    else
        showMinimized();
}

void CZorvanDlg::OnCloseButton()
{
    if (Options().ExitType == 0)
        OfferPendingChanges(this, session_);
    TellShown(0);
    if (Options().ExitType == 0) {
        hide();
        ExitProgram();
        return;
    }
    if (TrayWanted(trayIconOption_))
        HideToTray();
}

void CZorvanDlg::OnMinimiseButton()
{
    CMenuDlg::CloseOpen();
    TellShown(0);
    if (Options().ExitType != 0) {
        showMinimized();
        return;
    }
    Log("Min window");
    if (TrayWanted(trayIconOption_))
        HideToTray();
}

void CZorvanDlg::ExitProgram()
{
    // Already ending (a signal after the tray's exit, or the window could not run).
    if (exiting_)
        return;
    Log("OnExit");
    CMenuDlg::CloseOpen();
    TellShown(0);
    SkinDialog::CloseMessageWindows();
    session_.Exit();
    hide();
    exiting_ = true;
    // Changes still being written reach the mouse before the program ends; a mouse that does
    // not answer holds the end for a few seconds at most.
    QPointer<CZorvanDlg> self(this);
    auto closed = std::make_shared<bool>(false);
    const auto close = [self, closed] {
        if (self && !std::exchange(*closed, true))
            self->close();
    };
    session_.AfterWrites([close](bool) { close(); });
    QTimer::singleShot(kExitWriteWait, this, close);
}

void CZorvanDlg::RequestClose()
{
    exiting_ = true;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void CZorvanDlg::SwitchPage(int page)
{
    CMenuDlg::CloseOpen();
    const int entry = EntryOf(page);
    if (entry < 0)
        return;
    if (PageWidget* current = BuiltPage(currentPage_); current && !current->CanLeave())
        return;
    for (CPngBtn* button : navi_)
        if (button)
            button->setChecked(false);
    for (PageWidget* p : pages_)
        if (p)
            p->hide();
    if (navi_[size_t(entry)])
        navi_[size_t(entry)]->setChecked(true);
    PageAt(page)->show();
    currentPage_ = page;
}

void CZorvanDlg::RefreshPagesFromProfile()
{
    for (PageWidget* page : pages_)
        if (page)
            page->RefreshFromProfile();
}

void CZorvanDlg::OnMacrosChanged()
{
    // Macros were renamed or deleted: key names follow, and the keys' macro slots on the mouse
    // carry the names and events.
    RefreshPagesFromProfile();
    if (Options().ApplyNow != 0)
        session_.Post({apply::kKeys, apply::kAll});
}

void CZorvanDlg::RefreshPageTexts()
{
    UpdateTexts();
    for (size_t n = 0; n < pages_.size(); ++n) {
        if (PageWidget* page = pages_[n]) {
            page->setAccessibleName(GetText(entries_[n].titleKey));
            page->RefreshTexts();
        }
    }
    update();
}

void CZorvanDlg::RestoreDefaults()
{
    if (!session_.Connected() && Options().GoWithNoDev == 0) {
        CMsgDlg::Message(this, GetText("tc_msg15"));
        return;
    }
    if (session_.Reading()) {
        CMsgDlg::Message(this, GetText("tc_adv_str15"));
        return;
    }
    if (!session_.SettingsChangeAllowed())
        return;
    if (!CMsgDlg::Confirm(this, GetText("tc_msg5")))
        return;
    session_.ResetProfileToDefaults();
    RefreshPagesFromProfile();
    CProgressDlg::Setup setup{SkinFile(QStringLiteral("progress_nr.png")), SkinFile(QStringLiteral("progress_ov.png")),
                              0, 100, 0, 45, 486, GetText("tc_msg12"), QRect(15, 12, 440, 20)};
    CProgressDlg progress(this, setup);
    // Queued: the writer may finish before the dialog's loop runs.
    connect(&session_, &DevicePort::progress, &progress, &CProgressDlg::SetPosition, Qt::QueuedConnection);
    connect(&session_, &DevicePort::progressEnded, &progress, &QDialog::accept, Qt::QueuedConnection);
    session_.WriteDefaultsToMouse();
    progress.exec();
}

void CZorvanDlg::ExportProfile()
{
    if (!session_.CurrentProfile())
        return;
    if (const QString file = chooseProfileFile(true); !file.isEmpty())
        zorvan::ExportProfile(file);
}

void CZorvanDlg::ImportProfile()
{
    if (!session_.CurrentProfile())
        return;
    const QString file = chooseProfileFile(false);
    if (file.isEmpty())
        return;
    const std::optional<ProfileImport> imported = zorvan::ImportProfile(file, session_.UnderPid());
    if (!imported)
        return;
    RefreshPagesFromProfile();
    // The import is written whatever ApplyNow says: every area the model has.
    session_.Post(imported->request);
}

void CZorvanDlg::ShowWaitMessage()
{
    if (!session_.Reading() || !isVisible())
        return;
    CMsgDlg::Wait(this, GetText("tc_msg12"), &session_, &DevicePort::readFinished,
                  [this] { return !session_.Reading(); });
}

void CZorvanDlg::OnPowerRead(bool charging, int level)
{
    if (level > 100)
        return;
    notifications_->OnPowerRead(charging, level);
    if (!power_)
        return;
    if ((Options().ShowPower & 2) == 0 && power_->isHidden())
        power_->show();
    power_->SetPower(charging, level);
}

void CZorvanDlg::OnCloseRequested(const QString& textKey)
{
    CMsgDlg::Message(this, GetText(textKey.toStdString()));
    hide();
    RequestClose();
}

void CZorvanDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (Options().clrMask != 0)
        painter.fillRect(rect(), QColor::fromRgba(0xC8FFFFFF));
    painter.drawImage(rect(), background_);
}

void CZorvanDlg::mousePressEvent(QMouseEvent* event)
{
    CMenuDlg::CloseOpen();
    if (event->button() == Qt::LeftButton && windowHandle()) {
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CZorvanDlg::keyPressEvent(QKeyEvent* event)
{
    if (SwallowedKey(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CZorvanDlg::keyReleaseEvent(QKeyEvent* event)
{
    if (SwallowedKey(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void CZorvanDlg::closeEvent(QCloseEvent* event)
{
    if (!exiting_) {
        // A close from the desktop (a key or the task bar) follows the close button's rules.
        event->ignore();
        OnCloseButton();
        return;
    }
    if (tray_)
        tray_->hide();
    event->accept();
    emit exited();
}

void CZorvanDlg::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if ((change->oldState() & Qt::WindowMinimized) && !isMinimized())
            TellShown(1);
    }
    QWidget::changeEvent(event);
}

}  // namespace zorvan
