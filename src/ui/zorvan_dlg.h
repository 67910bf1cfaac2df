#pragma once
// CZorvanDlg: the program's only top-level window. A borderless window drawn from
// "key_nr.png", with four navigation buttons over the page area, the title buttons, the
// language selector, the home-page link, the battery indicator and the tray icon. The device
// work behind it is the device session (DevicePort).
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <array>

class QMenu;
class QSystemTrayIcon;

namespace zorvan {

class CComboBtn;
class CPngBtn;
class CPowerDlg;
class PageWidget;
class DevicePort;

class CZorvanDlg : public QWidget {
    Q_OBJECT
public:
    enum Page { kKeyPage = 1, kMacroPage = 2, kDpiPage = 3, kLightingPage = 4 };

    // `hasArguments`: started with an argument, so the window stays hidden in the tray.
    CZorvanDlg(DevicePort& session, bool hasArguments, const QString& title);
    ~CZorvanDlg() override;

    // The initialisation; false when the window cannot run (it then closes itself).
    bool Init();

    void ShowMainWindow();
    void ExitProgram();
    void SwitchPage(int page);
    void RestoreDefaults();
    void RefreshPagesFromProfile();
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
    PageWidget* PageAt(int page) const { return pages_[size_t(page - 1)]; }
    QMenu* TrayMenu() const { return trayMenu_; }
    QSystemTrayIcon* TrayIcon() const { return tray_; }
    const QImage& Background() const { return background_; }

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
    bool BuildSkin();
    void BuildTitleButtons();
    void BuildLanguageSelector();
    void BuildNavigation();
    void BuildHomeLink();
    void BuildPages();
    void AddTrayIcon();
    void UpdateLightingButton();
    void UpdateTexts();
    // Hides the window to the tray, or minimises it when the desktop has no tray.
    void HideToTray();
    void TellShown(int shown);
    void ShowWaitMessage();
    void OnPowerRead(bool charging, int level);
    void OnCloseRequested(const QString& textKey);
    void RequestClose();

    DevicePort& session_;
    QString title_;
    bool shown_;
    bool exiting_ = false;
    int trayIconOption_;
    QImage background_;
    QIcon icon_;
    QFont titleFont_;
    CPngBtn* minButton_ = nullptr;
    CPngBtn* closeButton_ = nullptr;
    CPngBtn* helpButton_ = nullptr;
    CComboBtn* language_ = nullptr;
    std::array<CPngBtn*, 4> navi_{};
    CPngBtn* homeLink_ = nullptr;
    CPowerDlg* power_ = nullptr;
    std::array<PageWidget*, 4> pages_{};
    int currentPage_ = 0;
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QAction* configAction_ = nullptr;
    QAction* exitAction_ = nullptr;
};

}  // namespace zorvan
