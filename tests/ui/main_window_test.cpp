// The main window: start-up hidden and shown from the tray, navigation, the minimise and
// close rules, the language switch, the skin loader's messages, battery, restore and exit.
#include "app/configuration.h"
#include "app/paths.h"
#include "profile/profile_defaults.h"
#include "skin/display_scale.h"
#include "skin/picture_cache.h"
#include "skin/skin_files.h"
#include "text/language_choice.h"
#include "text/language_texts.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/fake_device_port.h"
#include "ui/pages/msg_dlg.h"
#include "ui/pages/power_dlg.h"
#include "ui/pages/titled_page.h"
#include "ui/ui_fixture.h"
#include "ui/zorvan_dlg.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

namespace {

const QString kTitle = QStringLiteral("Zorvan test");

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { fixture_ = std::make_unique<UiFixture>(); }
    void cleanup() { fixture_.reset(); }

    void startsHiddenWithArgumentUntilTrayClick();
    void showsItselfAfterTheInitialWait();
    void navigationSelectsOneButtonAndPage_data();
    void navigationSelectsOneButtonAndPage();
    void titleButtonRules_data();
    void titleButtonRules();
    void languageSwitchChangesTextsAndRemembersIt();
    void missingSkinPictureIsReportedOnce_data();
    void missingSkinPictureIsReportedOnce();
    void missingBackgroundEndsTheWindow();
    void skinPicturesAreDecodedOnce();
    void whereQtScalesTheScreenEveryControlKeepsItsPlace();
    void noMouseWithoutSuwndEnds();
    void deviceSearchRunsBesideTheInitialWait_data();
    void deviceSearchRunsBesideTheInitialWait();
    void batteryIndicatorFollowsTheSession();
    void restoreDefaultsRunsBehindTheProgressDialog();
    void exitSavesTheStoreAndTellsTheMouse();
    void exitWaitsForTheWritesStillRunning();
    void anEndingWindowIsNotShownAgain();
    void changedMacrosHaveTheKeysWritten_data();
    void changedMacrosHaveTheKeysWritten();

private:
    std::unique_ptr<UiFixture> fixture_;
};

void MainWindowTest::startsHiddenWithArgumentUntilTrayClick()
{
    Config().opt.TrayIcon = 0;  // an argument forces the tray icon
    FakeDevicePort session;
    CZorvanDlg window(session, true, kTitle);
    QVERIFY(window.Init());
    QVERIFY(window.TrayMenu() != nullptr);
    QTest::qWait(1200);
    window.show();  // a show request while the shown flag is clear keeps it hidden
    QVERIFY(!window.isVisible());
    QVERIFY(session.told.empty());
    window.OnTrayMessage(514);
    QVERIFY(window.isVisible());
    QCOMPARE(session.told, std::vector<int>{1});
    QCOMPARE(window.TrayMenu()->actions().first()->text(), GetText("tc_config"));
    QCOMPARE(window.TrayMenu()->actions().last()->text(), GetText("tc_exit"));
}

void MainWindowTest::showsItselfAfterTheInitialWait()
{
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    QCOMPARE(session.starts, 1);
    QVERIFY(!window.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 3000);
    QCOMPARE(window.windowTitle(), kTitle);
    QCOMPARE(window.size(), window.Background().size());
}

void MainWindowTest::navigationSelectsOneButtonAndPage_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("titleKey");
    QTest::newRow("keys") << 0 << int(CZorvanDlg::kKeyPage) << QStringLiteral("tc_page1");
    QTest::newRow("dpi") << 1 << int(CZorvanDlg::kDpiPage) << QStringLiteral("tc_page2");
    QTest::newRow("macros") << 2 << int(CZorvanDlg::kMacroPage) << QStringLiteral("tc_page3");
    QTest::newRow("lighting") << 3 << int(CZorvanDlg::kLightingPage) << QStringLiteral("tc_page4");
}

void MainWindowTest::navigationSelectsOneButtonAndPage()
{
    QFETCH(int, button);
    QFETCH(int, page);
    QFETCH(QString, titleKey);
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    window.ShowMainWindow();
    QCOMPARE(window.CurrentPage(), int(CZorvanDlg::kKeyPage));
    QTest::mouseClick(window.NaviButton(button), Qt::LeftButton);
    QCOMPARE(window.CurrentPage(), page);
    for (int n = 0; n < 4; ++n)
        QCOMPARE(window.NaviButton(n)->isChecked(), n == button);
    for (int p = 1; p <= 4; ++p)
        QCOMPARE(window.PageAt(p)->isVisible(), p == page);
    // Pages that are still only their background and title show that title.
    if (auto* shown = qobject_cast<TitledPage*>(window.PageAt(page))) {
        QCOMPARE(shown->Title(), GetText(titleKey.toStdString()));
        QVERIFY(!shown->Title().isEmpty());
    }
}

// Where the window goes: stays on screen, leaves it (to the tray or minimised when the desktop
// has no tray), is minimised, or the program exits.
enum Outcome { kStays, kLeaves, kMinimised, kExits };

void MainWindowTest::titleButtonRules_data()
{
    QTest::addColumn<bool>("close");
    QTest::addColumn<int>("exitType");
    QTest::addColumn<int>("trayIcon");
    QTest::addColumn<int>("outcome");
    for (int tray : {0, 1, 2, 3}) {
        const bool toTray = tray == 1 || tray == 3;
        QTest::addRow("close, ExitType 0, TrayIcon %d", tray) << true << 0 << tray << int(kExits);
        QTest::addRow("close, ExitType 1, TrayIcon %d", tray) << true << 1 << tray << int(toTray ? kLeaves : kStays);
        QTest::addRow("minimise, ExitType 0, TrayIcon %d", tray) << false << 0 << tray << int(toTray ? kLeaves : kStays);
        QTest::addRow("minimise, ExitType 1, TrayIcon %d", tray) << false << 1 << tray << int(kMinimised);
    }
}

void MainWindowTest::titleButtonRules()
{
    QFETCH(bool, close);
    QFETCH(int, exitType);
    QFETCH(int, trayIcon);
    QFETCH(int, outcome);
    Config().opt.ExitType = exitType;
    Config().opt.TrayIcon = trayIcon;
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    window.ShowMainWindow();
    QSignalSpy exited(&window, &CZorvanDlg::exited);
    QTest::mouseClick(close ? window.CloseButton() : window.MinimiseButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(session.told.back(), 0);
    const bool onScreen = window.isVisible() && !window.isMinimized();
    switch (Outcome(outcome)) {
    case kStays:
        QVERIFY(onScreen);
        break;
    case kLeaves:
        QVERIFY(!onScreen);
        QCOMPARE(exited.count(), 0);
        break;
    case kMinimised:
        QVERIFY(window.isMinimized());
        break;
    case kExits:
        QTRY_COMPARE(exited.count(), 1);
        QCOMPARE(session.exits, 1);
        QVERIFY(!window.isVisible());
        break;
    }
    if (outcome != kExits)
        QCOMPARE(session.exits, 0);
}

void MainWindowTest::languageSwitchChangesTextsAndRemembersIt()
{
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    window.ShowMainWindow();
    auto* page = qobject_cast<TitledPage*>(window.PageAt(CZorvanDlg::kKeyPage));
    const QString englishTitle = page->Title();
    const QString englishExit = window.TrayMenu()->actions().last()->text();
    QCOMPARE(window.LanguageSelector()->Text(), QStringLiteral("English"));
    window.LanguageSelector()->Choose(1);
    QCOMPARE(window.LanguageSelector()->Text(), QStringLiteral("Deutsch"));
    QVERIFY(page->Title() != englishTitle);
    QCOMPARE(window.TrayMenu()->actions().last()->text(), GetText("tc_exit"));
    QVERIFY(window.TrayMenu()->actions().last()->text() != englishExit);
    // The whole-mouse entries follow the language too.
    QCOMPARE(window.TrayMenu()->actions().at(1)->text(), GetText("tc_backup1"));
    QCOMPARE(window.TrayMenu()->actions().at(2)->text(), GetText("tc_backup2"));
    const QByteArray langIni = [] {
        QFile file(Paths().dataDir + QStringLiteral("lang.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QVERIFY2(langIni.contains("LangIndex=1"), langIni.constData());

    // A switch made elsewhere (the tray, another window) shows in the selector too.
    QVERIFY(SwitchLanguage(0));
    QCOMPARE(window.LanguageSelector()->Text(), QStringLiteral("English"));
    QCOMPARE(page->Title(), englishTitle);
}

void MainWindowTest::missingSkinPictureIsReportedOnce_data()
{
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<QString>("reported");
    QTest::newRow("pressed picture") << QStringList{QStringLiteral("navi2_dn.png")} << QStringLiteral("navi2_dn.png");
    QTest::newRow("normal and pressed")
        << QStringList{QStringLiteral("navi2_nr.png"), QStringLiteral("navi2_dn.png")} << QStringLiteral("navi2_nr.png");
}

void MainWindowTest::missingSkinPictureIsReportedOnce()
{
    QFETCH(QStringList, removed);
    QFETCH(QString, reported);
    const QString app = fixture_->UseSkinCopy();
    for (const QString& name : removed)
        QVERIFY(QFile::remove(app + QStringLiteral("skins/") + name));
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    const auto messages = fixture_->Messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].caption, QStringLiteral("Warrning"));
    QCOMPARE(messages[0].text, QStringLiteral("NewSmallPngButton. file %1 not exist").arg(reported));
    QVERIFY(window.NaviButton(1) == nullptr);
    QVERIFY(window.NaviButton(0) != nullptr && window.NaviButton(2) != nullptr);
}

void MainWindowTest::missingBackgroundEndsTheWindow()
{
    const QString app = fixture_->UseSkinCopy();
    QVERIFY(QFile::remove(app + QStringLiteral("skins/key_nr.png")));
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QSignalSpy exited(&window, &CZorvanDlg::exited);
    QVERIFY(!window.Init());
    const auto messages = fixture_->Messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].caption, QStringLiteral("Error"));
    QCOMPARE(messages[0].text, QStringLiteral("Load skins failed."));
    QTRY_COMPARE(exited.count(), 1);
    QCOMPARE(session.starts, 0);
}

void MainWindowTest::skinPicturesAreDecodedOnce()
{
    // A skin folder of its own, so that no earlier test has these files in the cache.
    fixture_->UseSkinCopy();
    const int before = PictureDecodeCount();
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    const int decoded = PictureDecodeCount() - before;
    // The window and the key page share one "key_nr.png"; the title and page buttons, which
    // name one file for several states, hold one picture per file.
    QCOMPARE(LoadPicture(SkinFile(QStringLiteral("key_nr.png"))).constBits(), window.Background().constBits());
    for (const char* name : {"min_nr.png", "exit_nr.png", "help_nr.png", "combo3_nr.png", "navi1_nr.png", "navi1_dn.png",
                             "navi4_nr.png", "navi4_dn.png", "menu_nr.png"})
        LoadPicture(SkinFile(QString::fromLatin1(name)));
    QCOMPARE(PictureDecodeCount() - before, decoded);
}

namespace {

// Every widget of the window, each page built and laid out for a model: its class and place.
QStringList Layout(double pictureRatio)
{
    SetPictureRatio(pictureRatio);
    FakeDevicePort session;
    DeviceDescription device = Config().devices[0];
    session.device = &device;
    session.profile = MakeNewProfile(u"layout", device, Config().opt, device.KeyTables);
    CZorvanDlg window(session, false, kTitle);
    QStringList places;
    if (!window.Init())
        return places;
    for (int page : {CZorvanDlg::kKeyPage, CZorvanDlg::kMacroPage, CZorvanDlg::kDpiPage, CZorvanDlg::kLightingPage})
        window.SwitchPage(page);
    places << QStringLiteral("window %1x%2").arg(window.width()).arg(window.height());
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        const QRect r = w->geometry();
        places << QStringLiteral("%1 %2,%3 %4x%5")
                      .arg(QString::fromLatin1(w->metaObject()->className()))
                      .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    places << QStringLiteral("background ratio %1").arg(window.Background().devicePixelRatio());
    return places;
}

}  // namespace

void MainWindowTest::whereQtScalesTheScreenEveryControlKeepsItsPlace()
{
    // Sizes are taken from pictures everywhere: the double-size pictures made for Qt's scaling
    // must give the places of the normal-size ones.
    QStringList normal = Layout(1.0);
    QStringList sharp = Layout(2.0);
    SetPictureRatio(1.0);
    QVERIFY(normal.size() > 100);
    QCOMPARE(normal.takeLast(), QStringLiteral("background ratio 1"));
    QCOMPARE(sharp.takeLast(), QStringLiteral("background ratio 2"));
    QCOMPARE(sharp, normal);
}

void MainWindowTest::noMouseWithoutSuwndEnds()
{
    Config().opt.Suwnd = 0;
    FakeDevicePort session;
    session.devices = 0;
    CZorvanDlg window(session, false, kTitle);
    QSignalSpy exited(&window, &CZorvanDlg::exited);
    CloseNextModal(CMsgDlg::kOk);
    QVERIFY(!window.Init());
    QTRY_COMPARE(exited.count(), 1);
    QCOMPARE(session.starts, 0);
}

void MainWindowTest::deviceSearchRunsBesideTheInitialWait_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<int>("countDelayMs");
    QTest::addColumn<bool>("showAskedEarly");  // a second copy asks for the window meanwhile
    QTest::newRow("a mouse, the search ends within the wait") << 1 << 300 << false;
    QTest::newRow("a mouse, the search outlasts the wait") << 1 << 1500 << false;
    QTest::newRow("a mouse, the window asked for during the search") << 1 << 1500 << true;
    QTest::newRow("no mouse, Suwnd 0") << 0 << 300 << false;
    QTest::newRow("no mouse, Suwnd 0, the window asked for") << 0 << 300 << true;
}

void MainWindowTest::deviceSearchRunsBesideTheInitialWait()
{
    QFETCH(int, devices);
    QFETCH(int, countDelayMs);
    QFETCH(bool, showAskedEarly);
    Config().opt.Suwnd = 0;
    FakeDevicePort session;
    session.devices = devices;
    session.countDelayMs = countDelayMs;
    CZorvanDlg window(session, false, kTitle);
    QSignalSpy exited(&window, &CZorvanDlg::exited);
    bool everShown = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, &window, [&] { everShown = everShown || window.isVisible(); });
    watch.start(10);
    if (devices == 0)
        CloseNextModal(CMsgDlg::kOk);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(window.Init());  // the count is not in yet
    QCOMPARE(session.starts, 0);
    if (showAskedEarly)
        window.OnTrayMessage(514);
    if (devices == 0) {
        // The program ends without its window ever showing, the wait over or not.
        QTRY_COMPARE_WITH_TIMEOUT(exited.count(), 1, 3000);
        QTest::qWait(1000 - int(clock.elapsed()));
        QVERIFY(!everShown);
        QCOMPARE(session.starts, 0);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 4000);
    // Shown when both the wait (1000 ms from the search's start) and the search are over.
    QVERIFY(clock.elapsed() >= std::max(1000, countDelayMs) - 20);
    QCOMPARE(session.starts, 1);
}

void MainWindowTest::batteryIndicatorFollowsTheSession()
{
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    window.ShowMainWindow();
    CPowerDlg* power = window.PowerIndicator();
    QVERIFY(power->isHidden());
    emit session.powerRead(false, 26);
    QVERIFY(!power->isHidden());
    QCOMPARE(power->PictureName(), QStringLiteral("power2.png"));
    QVERIFY(power->ShowsLevelText());
    emit session.powerRead(true, 60);
    QCOMPARE(power->PictureName(), QStringLiteral("power_charging.png"));
    QVERIFY(!power->ShowsLevelText());
    emit session.powerRead(true, 100);
    QVERIFY(power->ShowsLevelText());
    emit session.deviceLost();
    QVERIFY(power->isHidden());
    Config().opt.ShowPower = 2;  // bit 1: the session never shows it
    emit session.powerRead(false, 80);
    QVERIFY(power->isHidden());
}

void MainWindowTest::changedMacrosHaveTheKeysWritten_data()
{
    QTest::addColumn<int>("applyNow");
    QTest::addColumn<size_t>("requests");
    QTest::newRow("ApplyNow on") << 1 << size_t(1);
    QTest::newRow("ApplyNow off") << 0 << size_t(0);
}

void MainWindowTest::changedMacrosHaveTheKeysWritten()
{
    QFETCH(int, applyNow);
    QFETCH(size_t, requests);
    Config().opt.ApplyNow = applyNow;
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    window.OnMacrosChanged();
    QCOMPARE(session.posted.size(), requests);
    if (requests > 0) {
        QCOMPARE(session.posted[0].flags, apply::kKeys);
        QCOMPARE(session.posted[0].data, apply::kAll);
    }
}

void MainWindowTest::restoreDefaultsRunsBehindTheProgressDialog()
{
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    window.ShowMainWindow();
    CloseNextModal(CMsgDlg::kOk);  // confirms tc_msg5; the writer ends the progress dialog
    window.RestoreDefaults();
    QCOMPARE(session.resets, 1);
    QCOMPARE(session.writes, 1);

    session.reading = true;  // a profile read is running: refused with tc_adv_str15
    CloseNextModal(CMsgDlg::kOk);
    window.RestoreDefaults();
    QCOMPARE(session.resets, 1);

    session.reading = false;
    session.connected = false;  // no mouse and no GoWithNoDev: tc_msg15
    CloseNextModal(CMsgDlg::kOk);
    window.RestoreDefaults();
    QCOMPARE(session.resets, 1);
}

void MainWindowTest::exitSavesTheStoreAndTellsTheMouse()
{
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    window.ShowMainWindow();
    QSignalSpy exited(&window, &CZorvanDlg::exited);
    window.TrayMenu()->actions().last()->trigger();
    QCOMPARE(session.exits, 1);
    QCOMPARE(session.told.back(), 0);
    QTRY_COMPARE(exited.count(), 1);
    QVERIFY(!window.isVisible());
}

void MainWindowTest::exitWaitsForTheWritesStillRunning()
{
    FakeDevicePort session;
    session.holdWrites = true;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    window.ShowMainWindow();
    QSignalSpy exited(&window, &CZorvanDlg::exited);
    window.ExitProgram();
    QCOMPARE(session.exits, 1);  // the store is saved at once
    QTest::qWait(200);
    QCOMPARE(exited.count(), 0);
    QCOMPARE(session.heldWrites.size(), size_t(1));
    session.heldWrites.front()(true);
    QTRY_COMPARE(exited.count(), 1);
}

void MainWindowTest::anEndingWindowIsNotShownAgain()
{
    FakeDevicePort session;
    session.holdWrites = true;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    window.ShowMainWindow();
    window.ExitProgram();
    QTest::qWait(1200);  // past the start-up's late show
    window.OnTrayMessage(514);
    QVERIFY(!window.isVisible());
    QCOMPARE(session.told.back(), 0);
    session.heldWrites.front()(true);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
