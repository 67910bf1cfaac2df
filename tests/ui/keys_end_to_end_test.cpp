// The key page against the emulated mouse with its state file: a combination assigned through
// the window (menu, capture dialog) leaves the mouse's EEPROM exactly as `zorvanctl assign`
// leaves it for the same change.
#include "app/configuration.h"
#include "profile/key_menu.h"
#include "ui/controls/png_btn.h"
#include "ui/live_device_port.h"
#include "ui/pages/key_dlg.h"
#include "ui/pages/key_menu_popup.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/ui_fixture.h"
#include "ui/zorvan_dlg.h"

#include <QMouseEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zorvan;
using namespace zorvan::test;

namespace {

// zorvanctl over the emulated mouse of `state`; its standard output, empty on failure.
QString Zorvanctl(const QTemporaryDir& dir, const QString& state, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.path());
    process.setProcessEnvironment(env);
    process.start(UiFixture::BuildAppDir() + QStringLiteral("zorvanctl"),
                  QStringList{QStringLiteral("--app-dir"), UiFixture::BuildAppDir(), QStringLiteral("--data-dir"),
                              dir.filePath(QStringLiteral("cli-data")), QStringLiteral("--emulate=") + state} +
                      args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        qWarning("zorvanctl %s: %s", qPrintable(args.join(QLatin1Char(' '))),
                 qPrintable(QString::fromUtf8(process.readAllStandardError())));
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

CPngBtn* OkButton(QWidget* dialog)
{
    for (CPngBtn* button : dialog->findChildren<CPngBtn*>()) {
        if (button->Text() == GetText("tc_ok"))
            return button;
    }
    return nullptr;
}

}  // namespace

class KeysEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void combinationFromTheWindowIsWhatZorvanctlWrites();
};

void KeysEndToEndTest::combinationFromTheWindowIsWhatZorvanctlWrites()
{
    UiFixture fixture;
    QTemporaryDir dir;
    const QString windowMouse = dir.filePath(QStringLiteral("window.state"));
    const QString cliMouse = dir.filePath(QStringLiteral("cli.state"));
    constexpr int kKey = 3;  // zorvanctl's key 4
    {
        BackendChoice choice;
        choice.emulate = true;
        choice.stateFile = windowMouse;
        QString error;
        const auto port = LiveDevicePort::Create(choice, &error);
        QVERIFY2(port, qPrintable(error));
        QSignalSpy profileRead(port.get(), &DevicePort::profileRead);
        CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
        QVERIFY(window.Init());
        window.ShowMainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(profileRead.count() >= 1 && !port->Reading(), 15000);
        auto* page = dynamic_cast<CKeyDlg*>(window.PageAt(CZorvanDlg::kKeyPage));
        QVERIFY(page);

        // The key's button opens the menu; the combination row opens the capture, where Ctrl
        // is ticked (ComboRec) and A pressed.
        QTest::mouseClick(page->KeyButton(kKey), Qt::LeftButton);
        CMenuDlg* menu = CMenuDlg::Current();
        QVERIFY(menu);
        const auto rows = KeyMenuForPopup(KeyMenuEntries(*port->CurrentDevice(), Options(), Config().sensors));
        const auto combo = std::find_if(rows.begin(), rows.end(), [](const MenuEntry& e) { return e.code == 0x020000A1; });
        QVERIFY(combo != rows.end());
        bool captured = false;
        QTimer::singleShot(100, [&captured] {
            auto* dialog = qobject_cast<CMsgDlg*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            QTest::mouseClick(dialog->ModifierBox(1), Qt::LeftButton);
            QTest::keyClick(dialog, Qt::Key_A);
            QTest::mouseClick(OkButton(dialog), Qt::LeftButton);
            captured = true;
        });
        const QPoint at = menu->RowRect(int(combo - rows.begin())).center();
        QMouseEvent release(QEvent::MouseButtonRelease, at, menu->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(menu, &release);
        QTRY_VERIFY_WITH_TIMEOUT(captured, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(port->CurrentProfile()->Key[0][kKey].dwFunID, 0x020000A1u, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(page->KeyButton(kKey)->Text(), QStringLiteral("Ctrl + A"), 3000);

        std::optional<bool> written;
        port->AfterWrites([&written](bool ok) { written = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(written.has_value(), 15000);
        QVERIFY(*written);
        port->Exit();
        QVERIFY(port->Backend().SaveState(&error));
    }
    QVERIFY(!Zorvanctl(dir, cliMouse, {QStringLiteral("assign"), QStringLiteral("4"), QStringLiteral("combo"),
                                        QStringLiteral("Ctrl+A")})
                 .isNull());
    const QString fromWindow = Zorvanctl(dir, windowMouse, {QStringLiteral("dump-eeprom")});
    const QString fromCli = Zorvanctl(dir, cliMouse, {QStringLiteral("dump-eeprom")});
    QVERIFY(!fromWindow.isEmpty());
    QCOMPARE(fromWindow, fromCli);  // zorvanctl changed the key, so the window did too
}

QTEST_MAIN(KeysEndToEndTest)
#include "keys_end_to_end_test.moc"
