// The progress, about and message dialogs and the image and combo buttons.
#include "app/configuration.h"
#include "skin/skin_files.h"
#include "text/language_texts.h"
#include "ui/about_dlg.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/fake_device_port.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/progress_dlg.h"
#include "ui/ui_fixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <thread>

using namespace zorvan;
using namespace zorvan::test;

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { fixture_ = std::make_unique<UiFixture>(); }
    void cleanup() { fixture_.reset(); }

    void progressBarFollowsPosition_data();
    void progressBarFollowsPosition();
    void progressPositionFromAnotherThread();
    void aboutShowsTwoOrThreeLines_data();
    void aboutShowsTwoOrThreeLines();
    void waitingMessageClosesOnTheEvent();
    void disabledButtonIgnoresEverything();
    void toggleOnClickFlipsAndReports();
    void comboChoicesFollowTheRules();

private:
    std::unique_ptr<UiFixture> fixture_;
};

void DialogsTest::progressBarFollowsPosition_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("barX");
    QTest::newRow("0") << 0 << 45;
    QTest::newRow("50") << 50 << 265;
    QTest::newRow("100") << 100 << 486;
    QTest::newRow("150 out of range") << 150 << 45;
    QTest::newRow("-1 out of range") << -1 << 45;
}

void DialogsTest::progressBarFollowsPosition()
{
    QFETCH(int, position);
    QFETCH(int, barX);
    CProgressDlg::Setup setup{SkinFile(QStringLiteral("progress_nr.png")), SkinFile(QStringLiteral("progress_ov.png")),
                              0, 100, 0, 45, 486, GetText("tc_msg12"), QRect(15, 12, 440, 20)};
    CProgressDlg dialog(nullptr, setup);
    QVERIFY(dialog.Loaded());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("MyProgressDlg.."));
    dialog.SetPosition(position);
    QCOMPARE(dialog.BarX(), barX);
}

void DialogsTest::progressPositionFromAnotherThread()
{
    CProgressDlg::Setup setup{SkinFile(QStringLiteral("progress_nr.png")), SkinFile(QStringLiteral("progress_ov.png")),
                              0, 100, 0, 45, 486, QString(), QRect()};
    CProgressDlg dialog(nullptr, setup);
    std::thread writer([&dialog] {
        dialog.PostPosition(50);
        dialog.PostClose();
    });
    const int result = dialog.exec();
    writer.join();
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(dialog.Position(), 50);

    CProgressDlg missing(nullptr, {QStringLiteral("/nonexistent.png"), setup.bar});
    QVERIFY(!missing.Loaded());
    QCOMPARE(missing.exec(), int(QDialog::Rejected));
}

void DialogsTest::aboutShowsTwoOrThreeLines_data()
{
    QTest::addColumn<bool>("mouse");
    QTest::addColumn<QString>("fwver");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("versionTop");
    QTest::newRow("no mouse") << false << QStringLiteral("Firmware version") << 2 << 60;
    QTest::newRow("mouse") << true << QStringLiteral("Firmware version") << 3 << 60;
    QTest::newRow("mouse, no firmware text") << true << QString() << 2 << 70;
}

void DialogsTest::aboutShowsTwoOrThreeLines()
{
    QFETCH(bool, mouse);
    QFETCH(QString, fwver);
    QFETCH(int, lines);
    QFETCH(int, versionTop);
    SetText("tc_fwver", fwver);
    CAboutDlg about(nullptr, mouse ? std::optional<int>(0x0107) : std::nullopt);
    QVERIFY(about.Loaded());
    const auto shown = about.Lines();
    QCOMPARE(int(shown.size()), lines);
    QCOMPARE(shown[0].rect, QRect(60, 30, 360, 20));
    QCOMPARE(shown[0].text, GetText("tc_msg21"));
    QCOMPARE(shown[1].rect.top(), versionTop);
    if (lines == 3)
        QCOMPARE(shown[2].text, QStringLiteral("Firmware version 0107"));
    QCOMPARE(about.windowTitle(), QStringLiteral("ZorvanMsgTopWindow"));
}

void DialogsTest::waitingMessageClosesOnTheEvent()
{
    FakeDevicePort session;
    QTimer::singleShot(50, &session, [&session] { emit session.readFinished(); });
    QCOMPARE(CMsgDlg::Wait(nullptr, QStringLiteral("wait"), &session, &DevicePort::readFinished, [] { return false; }),
             int(CMsgDlg::kClosed));
    // Over already: no dialog at all.
    QCOMPARE(CMsgDlg::Wait(nullptr, QStringLiteral("wait"), &session, &DevicePort::readFinished, [] { return true; }),
             int(CMsgDlg::kClosed));
    CloseNextModal(CMsgDlg::kOk);
    QVERIFY(CMsgDlg::Confirm(nullptr, QStringLiteral("sure?")));
    CloseNextModal(CMsgDlg::kClosed);
    QVERIFY(!CMsgDlg::Confirm(nullptr, QStringLiteral("sure?")));
}

void DialogsTest::disabledButtonIgnoresEverything()
{
    CPngBtn button;
    button.resize(40, 20);
    button.SetToggleMode(true, true);
    button.SetDoubleClickNotify(true);
    button.SetDisabled(true);
    QSignalSpy clicked(&button, &CPngBtn::clicked);
    QSignalSpy doubled(&button, &CPngBtn::doubleClickedTag);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseDClick(&button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(doubled.count(), 0);
    QVERIFY(!button.isChecked());
    QImage drawn(button.size(), QImage::Format_ARGB32);
    drawn.fill(Qt::white);
    button.render(&drawn);
    // The grey overlay (0xDC505050) over white.
    const QColor pixel = drawn.pixelColor(5, 5);
    QVERIFY(qAbs(pixel.red() - 104) <= 2 && pixel.red() == pixel.green() && pixel.green() == pixel.blue());
}

void DialogsTest::toggleOnClickFlipsAndReports()
{
    CPngBtn button;
    button.resize(40, 20);
    button.SetToggleMode(true, true);
    button.SetTag(7);
    QSignalSpy clicked(&button, &CPngBtn::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(button.isChecked());
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(!button.isChecked());
    QCOMPARE(clicked.count(), 2);
    button.SetDoubleClickNotify(true);
    QSignalSpy doubled(&button, &CPngBtn::doubleClickedTag);
    QTest::mouseDClick(&button, Qt::LeftButton);
    QCOMPARE(doubled.count(), 1);
    QCOMPARE(doubled.first().first().toInt(), 7);
}

void DialogsTest::comboChoicesFollowTheRules()
{
    CMenuDlg::LoadPictures();
    QWidget owner;
    owner.resize(300, 200);
    auto* combo = new CComboBtn(&owner);
    combo->setGeometry(10, 10, 111, 30);
    owner.show();
    QTest::mouseClick(combo, Qt::LeftButton);
    QVERIFY2(CMenuDlg::Current() == nullptr, "an empty list does not open");
    combo->AddItem(0, 10, QStringLiteral("ten"));
    combo->AddItem(0, 20, QStringLiteral("twenty characters long!"));
    QVERIFY(!combo->SelectValue(30));
    QCOMPARE(combo->SelectedValue(), -1);
    QVERIFY(combo->SelectValue(20));
    QCOMPARE(combo->Text(), QStringLiteral("twenty characters l"));
    QTest::mouseClick(combo, Qt::LeftButton);
    QVERIFY(CMenuDlg::Current() != nullptr);
    QCOMPARE(CMenuDlg::Current()->RowCount(), 2);
    QSignalSpy chosen(combo, &CComboBtn::clicked);
    combo->SetIgnoreReselection(true);
    combo->Choose(20);
    QCOMPARE(chosen.count(), 0);
    QVERIFY(CMenuDlg::Current() == nullptr);
    bool allow = false;
    combo->SetAcceptCheck([&allow] { return allow; });
    combo->Choose(10);
    QCOMPARE(combo->SelectedValue(), 20);
    allow = true;
    combo->Choose(10);
    QCOMPARE(combo->SelectedValue(), 10);
    QCOMPARE(chosen.count(), 1);
    int lock = 1;
    combo->SetLock(&lock);
    QTest::mouseClick(combo, Qt::LeftButton);
    QVERIFY(CMenuDlg::Current() == nullptr);
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
