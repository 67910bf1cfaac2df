// Living on a desktop: battery notifications once per crossing, the window saying what is going
// on with the mouse (its model, a mouse switched off, no access to its nodes, no mouse), no dead
// controls in the about box, the title buttons' looks and names, the language mark, where the
// window opens, the autostart entry and the command line.
#include "app/configuration.h"
#include "skin/skin_files.h"
#include "skin/skin_loader.h"
#include "text/language_choice.h"
#include "text/language_texts.h"
#include "ui/about_dlg.h"
#include "ui/autostart.h"
#include "ui/button_looks.h"
#include "ui/command_line.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/desktop_notifications.h"
#include "ui/fake_device_port.h"
#include "ui/mouse_status.h"
#include "ui/ui_fixture.h"
#include "ui/window_placement.h"
#include "ui/zorvan_dlg.h"

#include <QAction>
#include <QFile>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

namespace {

struct Reading {
    bool charging;
    int level;
};

}  // namespace

Q_DECLARE_METATYPE(std::vector<Reading>)
Q_DECLARE_METATYPE(std::vector<std::string>)

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void init() { fixture_ = std::make_unique<UiFixture>(); }
    void cleanup() { fixture_.reset(); }

    void batteryNotificationsOncePerCrossing_data();
    void batteryNotificationsOncePerCrossing();
    void notificationSwitchIsRemembered();
    void mouseStatusSaysWhatIsGoingOn_data();
    void mouseStatusSaysWhatIsGoingOn();
    void windowShowsTheModelAndNamesItsButtons();
    void missingAccessIsExplainedNamingTheNode();
    void aboutBoxOffersNoDeadControls();
    void titleButtonLooks();
    void windowOpensInsideTheAvailableArea_data();
    void windowOpensInsideTheAvailableArea();
    void autostartEntryStartsHiddenInTheTray();
    void commandLine_data();
    void commandLine();

private:
    std::unique_ptr<UiFixture> fixture_;
};

void DesktopTest::batteryNotificationsOncePerCrossing_data()
{
    QTest::addColumn<std::vector<Reading>>("readings");
    QTest::addColumn<bool>("service");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("desktop");
    QTest::addColumn<QStringList>("balloons");
    const QString low15 = QStringLiteral("The mouse's battery is at 15 %. Charge it soon.");
    const QString low10 = QStringLiteral("The mouse's battery is at 10 %. Charge it soon.");
    const QString full = QStringLiteral("The mouse is fully charged.");
    const std::vector<Reading> falling{{false, 16}, {false, 15}, {false, 14}, {false, 20}, {false, 15}};
    QTest::newRow("16 15 14 20 15 notifies twice") << falling << true << true << QStringList{low15, low15} << QStringList{};
    QTest::newRow("charging to 100 notifies once")
        << std::vector<Reading>{{true, 95}, {true, 99}, {true, 100}, {true, 100}} << true << true << QStringList{full}
        << QStringList{};
    QTest::newRow("a first low reading notifies") << std::vector<Reading>{{false, 10}, {false, 9}} << true << true
                                                  << QStringList{low10} << QStringList{};
    QTest::newRow("charged at start: no notification") << std::vector<Reading>{{true, 100}, {true, 100}} << true << true
                                                       << QStringList{} << QStringList{};
    QTest::newRow("low while charging: none until unplugged")
        << std::vector<Reading>{{true, 12}, {true, 13}, {false, 10}} << true << true << QStringList{low10} << QStringList{};
    QTest::newRow("no service: the tray balloon") << std::vector<Reading>{{false, 16}, {false, 15}} << false << true
                                                  << QStringList{low15} << QStringList{low15};
    QTest::newRow("switched off: nothing") << falling << true << false << QStringList{} << QStringList{};
}

void DesktopTest::batteryNotificationsOncePerCrossing()
{
    QFETCH(std::vector<Reading>, readings);
    QFETCH(bool, service);
    QFETCH(bool, enabled);
    QFETCH(QStringList, desktop);
    QFETCH(QStringList, balloons);
    QStringList sent, shown;
    BatteryNotifications notifications(
        QStringLiteral("Zorvan"),
        [&](const QString& summary, const QString& body, std::function<void(bool)> delivered) {
            QCOMPARE(summary, QStringLiteral("Zorvan"));
            sent << body;
            delivered(service);
        },
        [&](const QString&, const QString& body) { shown << body; });
    notifications.SetEnabled(enabled);
    for (const Reading& r : readings)
        notifications.OnPowerRead(r.charging, r.level);
    QCOMPARE(sent, desktop);
    QCOMPARE(shown, balloons);
}

void DesktopTest::notificationSwitchIsRemembered()
{
    QVERIFY(BatteryNotifications(QString(), {}, {}).Enabled());  // on by default
    BatteryNotifications(QString(), {}, {}).SetEnabled(false);
    QVERIFY(!BatteryNotifications(QString(), {}, {}).Enabled());
    // In the user's language: the German text.
    SwitchLanguage(1);
    QCOMPARE(TextWithNumber("tc_battery_low", 12), QStringLiteral("Der Akku der Maus steht bei 12 %. Bitte bald laden."));
}

void DesktopTest::mouseStatusSaysWhatIsGoingOn_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("linked");  // -1 not polled yet, 0 off, 1 answering
    QTest::addColumn<std::vector<std::string>>("denied");
    QTest::addColumn<bool>("receiverOnly");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");  // the text, or the key of the language text
    const std::vector<std::string> none;
    const std::vector<std::string> node{"/dev/hidraw7"};
    QTest::newRow("ready: the model's name") << true << -1 << none << false << int(MouseState::kReady) << "Zorvan Strix";
    QTest::newRow("ready after a poll") << true << 1 << none << false << int(MouseState::kReady) << "Zorvan Strix";
    QTest::newRow("switched off while connected") << true << 0 << none << false << int(MouseState::kMouseOff)
                                                  << "tc_state_mouseoff";
    QTest::newRow("receiver without a mouse") << false << -1 << none << true << int(MouseState::kMouseOff)
                                              << "tc_state_mouseoff";
    QTest::newRow("no access") << false << -1 << node << true << int(MouseState::kNoAccess)
                               << "No access to /dev/hidraw7: click here to see how to fix it.";
    QTest::newRow("no mouse") << false << -1 << none << false << int(MouseState::kNoMouse) << "tc_state_nomouse";
}

void DesktopTest::mouseStatusSaysWhatIsGoingOn()
{
    QFETCH(bool, connected);
    QFETCH(int, linked);
    QFETCH(std::vector<std::string>, denied);
    QFETCH(bool, receiverOnly);
    QFETCH(int, state);
    QFETCH(QString, text);
    FakeDevicePort port;
    port.connected = connected;
    port.denied = denied;
    port.receiverOnly = receiverOnly;
    port.device = &Config().devices[0];
    const MouseStatus status = StatusOf(port, linked < 0 ? std::nullopt : std::optional<bool>(linked == 1));
    QCOMPARE(int(status.state), state);
    QCOMPARE(status.text, text.startsWith(QStringLiteral("tc_")) ? GetText(text.toStdString()) : text);
    QCOMPARE(status.details.isEmpty(), denied.empty());
    if (!denied.empty()) {
        QVERIFY(status.details.contains(QStringLiteral("/dev/hidraw7")));
        QVERIFY(status.details.contains(QStringLiteral("udevadm trigger")));
        QVERIFY(status.details.contains(QStringLiteral("25a7:fa92")));
    }
}

void DesktopTest::windowShowsTheModelAndNamesItsButtons()
{
    Config().opt.TrayIcon = 1;
    FakeDevicePort session;
    session.device = &Config().devices[0];
    CZorvanDlg window(session, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    QCOMPARE(window.StatusLine()->Text(), QStringLiteral("Zorvan Strix"));
    QCOMPARE(window.TrayIcon()->toolTip(), QStringLiteral("Zorvan \u2013 Zorvan Strix"));
    // The mouse switched off behind its receiver, then back on.
    emit session.linkRead(false);
    QCOMPARE(window.StatusLine()->Text(), GetText("tc_state_mouseoff"));
    QVERIFY(window.TrayIcon()->toolTip().endsWith(GetText("tc_state_mouseoff")));
    emit session.linkRead(true);
    QCOMPARE(window.StatusLine()->Text(), QStringLiteral("Zorvan Strix"));
    // The title buttons are named for assistive technology and have tooltips.
    QCOMPARE(window.MinimiseButton()->accessibleName(), GetText("tc_minimize"));
    QCOMPARE(window.HelpButton()->accessibleName(), GetText("tc_about"));
    QVERIFY(!window.CloseButton()->accessibleName().isEmpty());
    QCOMPARE(window.CloseButton()->toolTip(), window.CloseButton()->accessibleName());
    // The language list marks the current language, and follows a switch.
    const auto& items = window.LanguageSelector()->Items(0);
    QVERIFY(items.size() >= 2);
    QVERIFY(items[0].text.startsWith(u'\u2713'));
    QVERIFY(!items[1].text.startsWith(u'\u2713'));
    SwitchLanguage(1);
    QVERIFY(!window.LanguageSelector()->Items(0)[0].text.startsWith(u'\u2713'));
    QVERIFY(window.LanguageSelector()->Items(0)[1].text.startsWith(u'\u2713'));
    QCOMPARE(window.MinimiseButton()->accessibleName(), QStringLiteral("Minimieren"));
    // The tray menu's switches.
    QVERIFY(window.AutostartAction() && window.AutostartAction()->isCheckable());
    QVERIFY(window.NotifyAction() && window.NotifyAction()->isChecked());
    window.NotifyAction()->trigger();
    QVERIFY(!window.Notifications()->Enabled());
}

void DesktopTest::missingAccessIsExplainedNamingTheNode()
{
    FakeDevicePort session;
    session.devices = 0;
    session.connected = false;
    session.denied = {"/dev/hidraw3"};
    CZorvanDlg window(session, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    const auto messages = fixture_->Messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].caption, QStringLiteral("Warning"));
    QVERIFY(messages[0].text.contains(QStringLiteral("/dev/hidraw3")));
    QVERIFY(window.StatusLine()->Text().contains(QStringLiteral("/dev/hidraw3")));
    QCOMPARE(window.StatusLine()->toolTip(), messages[0].text);
    // The line explains again when clicked.
    QTest::mouseClick(window.StatusLine(), Qt::LeftButton);
    QCOMPARE(fixture_->Messages().size(), size_t(2));
    // Access given (the rule installed, the receiver plugged again): the line says so.
    session.denied.clear();
    session.connected = true;
    session.device = &Config().devices[0];
    emit session.searchChanged();
    QCOMPARE(window.StatusLine()->Text(), QStringLiteral("Zorvan Strix"));
    QVERIFY(window.StatusLine()->toolTip().isEmpty());
}

void DesktopTest::aboutBoxOffersNoDeadControls()
{
    {
        CAboutDlg about(nullptr, std::nullopt);
        QVERIFY(about.Loaded());
        QVERIFY(!about.FirmwareButton() || about.FirmwareButton()->isHidden());
        QVERIFY2(!about.WebLink(), "a web link with no address");
    }
    SetText("tc_web", QStringLiteral("https://example.org/zorvan"));
    CAboutDlg about(nullptr, std::nullopt);
    QVERIFY(about.WebLink());
    QCOMPARE(about.WebLink()->Text(), GetText("tc_msg24"));
}

void DesktopTest::titleButtonLooks()
{
    const auto pictures = LoadSkinPictures(SkinLoader::kPngButton, {QStringLiteral("min_nr.png")});
    QVERIFY(pictures);
    const QImage normal = (*pictures)[0].convertToFormat(QImage::Format_ARGB32);
    const QImage hover = HoverLook(normal).convertToFormat(QImage::Format_ARGB32);
    const QImage pressed = PressedLook(normal).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(hover.size(), normal.size());
    QVERIFY(hover != normal && pressed != normal && hover != pressed);
    // Lighter and darker where the picture is opaque; transparent pixels stay transparent.
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            const QColor n = normal.pixelColor(x, y), h = hover.pixelColor(x, y), p = pressed.pixelColor(x, y);
            QCOMPARE(h.alpha(), n.alpha());
            QCOMPARE(p.alpha(), n.alpha());
            if (n.alpha() == 255) {
                QVERIFY(h.lightness() >= n.lightness());
                QVERIFY(p.lightness() <= n.lightness());
            }
        }
    }
}

void DesktopTest::windowOpensInsideTheAvailableArea_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("large screen: centred") << QRect(0, 0, 1920, 1080) << QPoint(449, 194);
    QTest::newRow("panel on the left and top") << QRect(64, 32, 1856, 1048) << QPoint(64 + 417, 32 + 178);
    QTest::newRow("just as large") << QRect(0, 0, 1021, 692) << QPoint(0, 0);
    QTest::newRow("smaller screen: top-left of the area") << QRect(0, 27, 800, 573) << QPoint(0, 27);
    QTest::newRow("narrower only") << QRect(0, 0, 1000, 900) << QPoint(0, 104);
}

void DesktopTest::windowOpensInsideTheAvailableArea()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, position);
    QCOMPARE(InitialWindowPosition(available, QSize(1021, 692)), position);
}

void DesktopTest::autostartEntryStartsHiddenInTheTray()
{
    QTemporaryDir config;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QCOMPARE(AutostartFile(), config.path() + QStringLiteral("/autostart/zorvan.desktop"));
    QVERIFY(!AutostartEnabled());
    QVERIFY(SetAutostart(true, QStringLiteral("/opt/My Apps/zorvan")));
    QVERIFY(AutostartEnabled());
    QFile file(AutostartFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray entry = file.readAll();
    QVERIFY(entry.startsWith("[Desktop Entry]\n"));
    QVERIFY(entry.contains("\nExec=\"/opt/My Apps/zorvan\" --tray\n"));
    QVERIFY(AutostartEntry(QStringLiteral("zorvan")).contains("\nExec=zorvan --tray\n"));
    // Quoting: the characters the entry's rules reserve, and a percent sign.
    QVERIFY(AutostartEntry(QStringLiteral("/a$b/100%/z")).contains("\nExec=\"/a\\\\$b/100%%/z\" --tray\n"));
    QVERIFY(SetAutostart(false, QString()));
    QVERIFY(!AutostartEnabled());
    // The tray menu's switch writes and removes it.
    Config().opt.TrayIcon = 1;
    FakeDevicePort session;
    CZorvanDlg window(session, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    QVERIFY(!window.AutostartAction()->isChecked());
    window.AutostartAction()->trigger();
    QVERIFY(AutostartEnabled());
    window.AutostartAction()->trigger();
    QVERIFY(!AutostartEnabled());
    qputenv("XDG_CONFIG_HOME", saved);
}

void DesktopTest::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::newRow("none") << QStringList{} << int(StartAction::kRun);
    QTest::newRow("--tray") << QStringList{"--tray"} << int(StartAction::kRunHidden);
    QTest::newRow("any argument") << QStringList{"x"} << int(StartAction::kRunHidden);
    QTest::newRow("--help") << QStringList{"--help"} << int(StartAction::kPrintHelp);
    QTest::newRow("-h after another") << QStringList{"--tray", "-h"} << int(StartAction::kPrintHelp);
    QTest::newRow("--version") << QStringList{"--version"} << int(StartAction::kPrintVersion);
}

void DesktopTest::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    std::vector<QByteArray> bytes{"zorvan"};
    for (const QString& a : arguments)
        bytes.push_back(a.toUtf8());
    std::vector<const char*> argv;
    for (const QByteArray& b : bytes)
        argv.push_back(b.constData());
    QCOMPARE(int(ParseCommandLine(int(argv.size()), argv.data())), action);
    QVERIFY(HelpText(QStringLiteral("zorvan")).startsWith(QStringLiteral("Usage: zorvan ")));
    QVERIFY(VersionText().startsWith(QStringLiteral("zorvan 1.")));
}

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
