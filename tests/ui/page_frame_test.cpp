// The main window's pages: built from the registry when first shown, given the window's
// context, and kept on screen while they refuse to be left; the window's export and import
// asked for through the context, over the emulated mouse.
#include "app/configuration.h"
#include "device/emulated/mouse_firmware.h"
#include "profile/profile_edits.h"
#include "profile/profile_transfer.h"
#include "ui/controls/png_btn.h"
#include "ui/fake_device_port.h"
#include "ui/pages/msg_dlg.h"
#include "ui/pages/page_widget.h"
#include "ui/ui_fixture.h"
#include "ui/zorvan_dlg.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

namespace {

const QString kTitle = QStringLiteral("Zorvan test");

// A page that counts what the window asks of it and may refuse to be left.
class ProbePage : public PageWidget {
public:
    using PageWidget::PageWidget;
    bool leave = true;
    int layouts = 0;
    int refreshes = 0;

    void LayoutForDevice() override { ++layouts; }
    void RefreshFromProfile() override { ++refreshes; }
    bool CanLeave() override { return leave; }
    const PageContext& Given() const { return Context(); }
};

// The standard pages with a probe as the macro page (the third navigation button).
std::vector<PageEntry> PagesWithProbe()
{
    std::vector<PageEntry> pages = StandardPages();
    pages[2].make = [](const PageContext& context, QWidget* parent) -> PageWidget* {
        return new ProbePage(context, parent);
    };
    return pages;
}

}  // namespace

class PageFrameTest : public QObject {
    Q_OBJECT
private slots:
    void init() { fixture_ = std::make_unique<UiFixture>(); }
    void cleanup() { fixture_.reset(); }

    void pagesAreBuiltWhenFirstShown();
    void aPageBuiltLateCatchesUpWithTheDevice();
    void aPageThatRefusesToBeLeftKeepsTheWindowOnIt();
    void thePageContextReachesTheWindowAndTheSession();
    void exportAndImportThroughTheContextReachTheMouse();

private:
    std::unique_ptr<UiFixture> fixture_;
};

void PageFrameTest::pagesAreBuiltWhenFirstShown()
{
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle);
    QVERIFY(window.Init());
    QVERIFY(window.BuiltPage(CZorvanDlg::kKeyPage));
    for (int page : {CZorvanDlg::kDpiPage, CZorvanDlg::kMacroPage, CZorvanDlg::kLightingPage})
        QVERIFY(!window.BuiltPage(page));
    QTest::mouseClick(window.NaviButton(1), Qt::LeftButton);
    QVERIFY(window.BuiltPage(CZorvanDlg::kDpiPage));
    QVERIFY(!window.BuiltPage(CZorvanDlg::kMacroPage));
    QVERIFY(!window.BuiltPage(CZorvanDlg::kLightingPage));
    QVERIFY(window.PageAt(0) == nullptr && window.PageAt(5) == nullptr);
}

void PageFrameTest::aPageBuiltLateCatchesUpWithTheDevice()
{
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle, PagesWithProbe());
    QVERIFY(window.Init());
    emit session.deviceChanged();
    emit session.profileRead();
    QVERIFY(!window.BuiltPage(CZorvanDlg::kMacroPage));
    window.SwitchPage(CZorvanDlg::kMacroPage);
    auto* probe = dynamic_cast<ProbePage*>(window.PageAt(CZorvanDlg::kMacroPage));
    QVERIFY(probe);
    QCOMPARE(probe->layouts, 1);
    QCOMPARE(probe->refreshes, 1);
    // A model known (a take-over, a start without a mouse): laid out and filled at once from
    // the local profile, without waiting for a read; the read then shows the mouse's.
    emit session.deviceChanged();
    QCOMPARE(probe->layouts, 2);
    QCOMPARE(probe->refreshes, 2);
    emit session.profileRead();
    QCOMPARE(probe->layouts, 2);
    QCOMPARE(probe->refreshes, 3);
}

void PageFrameTest::aPageThatRefusesToBeLeftKeepsTheWindowOnIt()
{
    FakeDevicePort session;
    CZorvanDlg window(session, false, kTitle, PagesWithProbe());
    QVERIFY(window.Init());
    window.ShowMainWindow();
    QTest::mouseClick(window.NaviButton(2), Qt::LeftButton);
    auto* probe = dynamic_cast<ProbePage*>(window.PageAt(CZorvanDlg::kMacroPage));
    QVERIFY(probe && probe->isVisible());
    probe->leave = false;
    for (int button : {0, 1, 3}) {
        QTest::mouseClick(window.NaviButton(button), Qt::LeftButton);
        QCOMPARE(window.CurrentPage(), int(CZorvanDlg::kMacroPage));
        QVERIFY(probe->isVisible());
        for (int n = 0; n < 4; ++n)
            QCOMPARE(window.NaviButton(n)->isChecked(), n == 2);
    }
    QVERIFY(!window.BuiltPage(CZorvanDlg::kDpiPage));  // refused before anything was built
    probe->leave = true;
    QTest::mouseClick(window.NaviButton(0), Qt::LeftButton);
    QCOMPARE(window.CurrentPage(), int(CZorvanDlg::kKeyPage));
    QVERIFY(!probe->isVisible());
}

void PageFrameTest::thePageContextReachesTheWindowAndTheSession()
{
    FakeDevicePort session;
    session.device = &Config().devices[0];
    CZorvanDlg window(session, false, kTitle, PagesWithProbe());
    QVERIFY(window.Init());
    window.ShowMainWindow();
    window.SwitchPage(CZorvanDlg::kMacroPage);
    auto* probe = dynamic_cast<ProbePage*>(window.PageAt(CZorvanDlg::kMacroPage));
    QVERIFY(probe);
    const PageContext& context = probe->Given();
    QCOMPARE(&context.port, static_cast<DevicePort*>(&session));
    QCOMPARE(context.Device(), session.device);
    QCOMPARE(probe->geometry(), context.area);
    QCOMPARE(context.Text("tc_page3"), GetText("tc_page3"));

    context.switchPage(CZorvanDlg::kLightingPage);
    QCOMPARE(window.CurrentPage(), int(CZorvanDlg::kLightingPage));
    CloseNextModal(CMsgDlg::kOk);  // confirms tc_msg5
    context.restoreDefaults();
    QCOMPARE(session.resets, 1);
    QCOMPARE(session.writes, 1);
}

void PageFrameTest::exportAndImportThroughTheContextReachTheMouse()
{
    const auto port = EmulatedPort();
    QVERIFY(port);
    MouseFirmware* mouse = port->Backend().EmulatedMouse();
    QSignalSpy read(port.get(), &DevicePort::profileRead);
    CZorvanDlg window(*port, false, kTitle, PagesWithProbe());
    QVERIFY(window.Init());
    QTRY_VERIFY_WITH_TIMEOUT(read.count() >= 1 && !port->Reading(), 10000);
    window.SwitchPage(CZorvanDlg::kMacroPage);
    auto* probe = dynamic_cast<ProbePage*>(window.PageAt(CZorvanDlg::kMacroPage));
    QVERIFY(probe);
    const PageContext& context = probe->Given();
    const int active = mouse->State().activeProfile;
    const std::vector<uint8_t> rate = mouse->Memory(active, 0x00, 2);

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("profile.qxa"));
    std::vector<bool> asked;  // save or open
    window.chooseProfileFile = [&](bool save) {
        asked.push_back(save);
        return file;
    };
    context.exportProfile();
    QCOMPARE(QFileInfo(file).size(), kProfileExportSize);

    // A change made after the export, then the file brought back: the mouse holds the old rate.
    const DeviceDescription device = *context.Device();
    const int refreshes = probe->refreshes;
    bool written = false;
    context.port.ChangeSetting([&](ProfileRecord& p) { return SetPollingRate(p, rate[0] == 2 ? 250 : 500, device); });
    context.port.AfterWrites([&](bool) { written = true; });
    QTRY_VERIFY(written);
    QVERIFY(mouse->Memory(active, 0x00, 2) != rate);
    context.importProfile();
    QCOMPARE(asked, (std::vector<bool>{true, false}));
    QCOMPARE(probe->refreshes, refreshes + 1);  // the pages show the imported profile
    written = false;
    context.port.AfterWrites([&](bool ok) { written = ok; });
    QTRY_VERIFY_WITH_TIMEOUT(written, 10000);
    QCOMPARE(mouse->Memory(active, 0x00, 2), rate);
}

QTEST_MAIN(PageFrameTest)
#include "page_frame_test.moc"
