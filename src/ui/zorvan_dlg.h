#pragma once
// CZorvanDlg: the program's only top-level window. A borderless window drawn from
// "key_nr.png", with one navigation button per page over the page area, the title buttons,
// the language selector, the home-page link, the battery indicator and the tray icon. The
// device work behind it is the device session (DevicePort). Its pages come from a registry
// and are built when first shown; each gets the window's PageContext.
#include "ui/pages/page_context.h"
#include "ui/pages/page_registry.h"

#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QMenu;
class QSystemTrayIcon;

namespace zorvan {

class CComboBtn;
class CPngBtn;
class CPowerDlg;
class BatteryNotifications;
class PageWidget;
class DevicePort;
struct MouseStatus;

class CZorvanDlg : public QWidget {
    Q_OBJECT
public:
    using enum Page;

    // `hasArguments`: started with an argument, so the window stays hidden in the tray.
    // `pages`: the pages with their navigation entries, in the order of the buttons.
    CZorvanDlg(DevicePort& session, bool hasArguments, const QString& title,
               std::vector<PageEntry> pages = StandardPages());
    ~CZorvanDlg() override;

    // The initialisation; false when the window cannot run as far as known when it returns (it
    // then closes itself). The device search ends later: without a mouse and with Suwnd 0 the
    // window closes then, before it was ever shown.
    bool Init();

    void ShowMainWindow();
    void ExitProgram();
    // Shows `page` unless the page on screen refuses to be left.
    void SwitchPage(int page);
    void RestoreDefaults();
    // The current profile to a file and back, each after a file dialog.
    void ExportProfile();
    void ImportProfile();
    void RefreshPagesFromProfile();
    // Macros were renamed or deleted: the pages show the keys again and, with ApplyNow, every
    // key is written to the mouse.
    void OnMacrosChanged();
    void RefreshPageTexts();
    // The tray icon's callback, also used by a second copy: 514 shows, 517 opens the menu.
    void OnTrayMessage(int mouseMessage);

    int CurrentPage() const { return currentPage_; }
    bool ShownFlag() const { return shown_; }
    CPngBtn* NaviButton(int index) const { return navi_[size_t(index)]; }
    CPngBtn* MinimiseButton() const { return minButton_; }
    CPngBtn* CloseButton() const { return closeButton_; }
    CPngBtn* HelpButton() const { return helpButton_; }
    CComboBtn* LanguageSelector() const { return language_; }
    CPowerDlg* PowerIndicator() const { return power_; }
    // The page, built now (hidden) when it has not been shown yet; null for an unknown page.
    PageWidget* PageAt(int page);
    // The page when it has been built, else null.
    PageWidget* BuiltPage(int page) const;
    QMenu* TrayMenu() const { return trayMenu_; }
    QSystemTrayIcon* TrayIcon() const { return tray_; }
    // The line that says what is going on with the mouse (its model when ready).
    CPngBtn* StatusLine() const { return status_; }
    // With ApplyNow 0: writes the changes kept in the profile; shown while there are some.
    CPngBtn* ApplyButton() const { return apply_; }
    // The tray menu's switches (null without a tray icon).
    QAction* AutostartAction() const { return autostartAction_; }
    QAction* NotifyAction() const { return notifyAction_; }
    BatteryNotifications* Notifications() const { return notifications_; }
    const QImage& Background() const { return background_; }

    // Asks for the ".qxa" file of an export (`save`) or import; empty when none was chosen. A
    // file dialog (tests replace it).
    std::function<QString(bool save)> chooseProfileFile;

    // The close and minimise buttons' rules.
    void OnCloseButton();
    void OnMinimiseButton();

signals:
    // ExitProgram finished; the program ends.
    void exited();

public:
    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The device search's count is in: the program runs on, or ends (tc_msg15).
    void OnDevicesCounted(int devices);
    // Shows the window once the search has let it run and the initialisation wait is over.
    void ShowWhenStarted();
    bool BuildSkin();
    void BuildTitleButtons();
    void BuildLanguageSelector();
    void BuildNavigation();
    void BuildHomeLink();
    void BuildStatusLine();
    void BuildApplyButton();
    void FillLanguageSelector();
    void SetPageArea();
    // The registry position of `page`, or -1.
    int EntryOf(int page) const;
    void AddTrayIcon();
    // The lighting button shown only for a model with lighting; without it, the lighting page
    // on screen gives way to the buttons page.
    void UpdateLightingButton();
    void UpdateTexts();
    // Hides the window to the tray, or minimises it when the desktop has no tray.
    void HideToTray();
    void TellShown(int shown);
    // Says again what is going on with the mouse (status line, tray tooltip), when it changed.
    void UpdateMouseStatus();
    void ShowWaitMessage();
    void OnPowerRead(bool charging, int level);
    void OnStatusClicked();
    void ShowBalloon(const QString& summary, const QString& body);
    void OnCloseRequested(const QString& textKey);
    void RequestClose();

    DevicePort& session_;
    QString title_;
    bool shown_;
    bool exiting_ = false;
    bool started_ = false;  // the device search let the program run on
    bool waited_ = false;   // the initialisation wait is over
    int trayIconOption_;
    QImage background_;
    QIcon icon_;
    QFont titleFont_;
    CPngBtn* minButton_ = nullptr;
    CPngBtn* closeButton_ = nullptr;
    CPngBtn* helpButton_ = nullptr;
    CComboBtn* language_ = nullptr;
    std::vector<PageEntry> entries_;
    PageContext context_;
    std::vector<CPngBtn*> navi_;
    CPngBtn* homeLink_ = nullptr;
    CPowerDlg* power_ = nullptr;
    CPngBtn* status_ = nullptr;
    CPngBtn* apply_ = nullptr;
    QString accessDetails_;         // the explanation behind the status line, when it has one
    std::optional<bool> linked_;    // the battery poll's view of the link, none before it
    BatteryNotifications* notifications_ = nullptr;
    std::vector<PageWidget*> pages_;  // by registry position; null until first shown
    int currentPage_ = 0;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QAction* configAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* backupAction_ = nullptr;
    QAction* restoreAction_ = nullptr;
    QAction* autostartAction_ = nullptr;
    QAction* notifyAction_ = nullptr;
};

}  // namespace zorvan
