// The lighting page over a steered session: the main effect list and LedMask, effect defaults
// and the controls each effect shows, the logo zone, colour fields, presets and the gradient,
// the sleep list, the power controls under PID and PID2, the lighting lock, what the mouse
// reports, and bad values from cfg.ini or the profile.
#include "app/configuration.h"
#include "ui/controls/color_btn.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/controls/png_slider_bar.h"
#include "ui/page_fixture.h"
#include "ui/pages/led_dlg.h"

#include <QLineEdit>
#include <QTest>

#include <cstring>

using namespace zorvan;
using namespace zorvan::test;

namespace {

constexpr int kStrix = 1;  // [DEV_1]: main zone, sleep list 60, 120, 300, 600, 900, 1200, 1800

bool Shown(const QWidget* widget)
{
    return widget && !widget->isHidden();
}

using Requested = std::vector<std::pair<uint32_t, uint32_t>>;

Requested Requests(const FakeDevicePort& port)
{
    Requested requests;
    for (const ApplyRequest& r : port.posted)
        requests.emplace_back(r.flags, r.data);
    return requests;
}

std::vector<int32_t> Values(const CComboBtn* combo)
{
    std::vector<int32_t> values;
    for (const CComboBtn::Item& item : combo->Items(0))
        values.push_back(item.value);
    return values;
}

// The logo zone alone.
void LogoOnly(PageHarness& h)
{
    h.device.ShowMainEffect = 0;
    h.device.ShowLogoEffect = 1;
}

}  // namespace

class LedPageTest : public QObject {
    Q_OBJECT
private slots:
    void ledMaskHidesMainEffects_data();
    void ledMaskHidesMainEffects();
    void aMainEffectTakesItsDefaultsAndShowsItsControls_data();
    void aMainEffectTakesItsDefaultsAndShowsItsControls();
    void theLogoEffectShowsItsOwnControls_data();
    void theLogoEffectShowsItsOwnControls();
    void colourFieldsPresetsAndTheGradient();
    void theSleepList_data();
    void theSleepList();
    void thePowerControlsUnderPidAndPid2_data();
    void thePowerControlsUnderPidAndPid2();
    void aLockedLightingKeepsTheChangeAndSendsNothing();
    void whatTheMouseReportsIsShown();
    void badValuesAreShownClampedAndNeverWrittenBack();
};

void LedPageTest::ledMaskHidesMainEffects_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<std::vector<int32_t>>("effects");
    QTest::newRow("0") << 0 << std::vector<int32_t>{1, 2, 3, 4, 5, 6, 0};
    QTest::newRow("0x40: no off") << 0x40 << std::vector<int32_t>{1, 2, 3, 4, 5, 6};
    QTest::newRow("0x05") << 0x05 << std::vector<int32_t>{2, 4, 5, 6, 0};
    QTest::newRow("0x7F: none") << 0x7F << std::vector<int32_t>{};
}

void LedPageTest::ledMaskHidesMainEffects()
{
    QFETCH(int, mask);
    QFETCH(std::vector<int32_t>, effects);
    PageHarness h(kStrix);
    h.device.LedMask = mask;
    const auto page = h.Make<CLedDlg>();
    QCOMPARE(Values(page->Effect(CLedDlg::kMain)), effects);
    for (const CComboBtn::Item& item : page->Effect(CLedDlg::kMain)->Items(0))
        QCOMPARE(item.text, GetText(QStringLiteral("tc_led_mode%1").arg(item.value == 0 ? 7 : item.value).toStdString()));
}

void LedPageTest::aMainEffectTakesItsDefaultsAndShowsItsControls_data()
{
    // The default cfg.ini's LedOpt: effect 1 (0,6,colour), 3 (8,10,no colour), off (0,0).
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<bool>("speedShown");
    QTest::addColumn<bool>("brightnessShown");
    QTest::addColumn<bool>("colourShown");
    QTest::newRow("3") << 3 << 8 << 10 << true << true << false;
    QTest::newRow("1") << 1 << 0 << 6 << false << true << true;
    QTest::newRow("off") << 0 << 0 << 0 << false << false << false;
}

void LedPageTest::aMainEffectTakesItsDefaultsAndShowsItsControls()
{
    QFETCH(int, effect);
    QFETCH(int, speed);
    QFETCH(int, brightness);
    QFETCH(bool, speedShown);
    QFETCH(bool, brightnessShown);
    QFETCH(bool, colourShown);
    PageHarness h(kStrix);
    h.Profile().mainLight = {2, 3, 4, 0x00FF00, {}};
    const auto page = h.Make<CLedDlg>();
    page->Effect(CLedDlg::kMain)->Choose(effect);
    const LightingBlock& main = h.Profile().mainLight;
    QCOMPARE(main.mode, effect);
    QCOMPARE(main.speed, speed);
    QCOMPARE(main.brightness, brightness);
    QCOMPARE(main.colour, 0x00FF00);
    QCOMPARE(Shown(page->Speed(CLedDlg::kMain)), speedShown);
    QCOMPARE(Shown(page->SpeedLabel()), speedShown);
    QCOMPARE(Shown(page->Brightness(CLedDlg::kMain)), brightnessShown);
    QCOMPARE(Shown(page->BrightnessLabel()), brightnessShown);
    QCOMPARE(Shown(page->Result()), colourShown);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(Shown(page->ColourField(i)), colourShown);
    if (brightnessShown)
        QCOMPARE(page->BrightnessLabel()->Text(), QString::number(brightness));
    QCOMPARE(Requests(h.port), (Requested{{0x02, 2}}));

    if (brightnessShown) {
        QTest::mouseClick(page->Brightness(CLedDlg::kMain), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(h.Profile().mainLight.brightness, 1);
        QCOMPARE(page->BrightnessLabel()->Text(), QStringLiteral("1"));
        QCOMPARE(h.port.posted.size(), size_t(2));
    }
}

void LedPageTest::theLogoEffectShowsItsOwnControls_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<bool>("brightnessShown");
    QTest::addColumn<bool>("speedShown");
    QTest::addColumn<bool>("colourShown");
    QTest::newRow("1") << 1 << true << false << true;
    QTest::newRow("2") << 2 << true << true << true;
    QTest::newRow("3") << 3 << true << true << false;
    QTest::newRow("off") << 0 << false << false << false;
}

void LedPageTest::theLogoEffectShowsItsOwnControls()
{
    QFETCH(int, effect);
    QFETCH(bool, brightnessShown);
    QFETCH(bool, speedShown);
    QFETCH(bool, colourShown);
    PageHarness h(kStrix);
    LogoOnly(h);
    h.Profile().logoLight = {1, 4, 7, 0x0000FF, {}};
    const auto page = h.Make<CLedDlg>();
    QVERIFY(!Shown(page->Effect(CLedDlg::kMain)));
    QCOMPARE(Values(page->Effect(CLedDlg::kLogo)), (std::vector<int32_t>{1, 2, 3, 0}));
    QCOMPARE(page->Effect(CLedDlg::kLogo)->Items(0)[2].text, GetText("tc_led_mode4"));
    page->Effect(CLedDlg::kLogo)->Choose(effect);
    const LightingBlock& logo = h.Profile().logoLight;
    QCOMPARE(logo.mode, effect);
    QCOMPARE(logo.speed, 4);  // the sliders keep their values
    QCOMPARE(logo.brightness, 7);
    QCOMPARE(logo.colour, 0x0000FF);
    QCOMPARE(Shown(page->Brightness(CLedDlg::kLogo)), brightnessShown);
    QCOMPARE(Shown(page->Speed(CLedDlg::kLogo)), speedShown);
    QCOMPARE(Shown(page->Result()), colourShown);
    QCOMPARE(Requests(h.port), (Requested{{0x02, 1}}));
    if (speedShown) {
        QTest::mouseClick(page->Speed(CLedDlg::kLogo), Qt::LeftButton, {}, QPoint(258, 5));
        QCOMPARE(h.Profile().logoLight.speed, 5);  // five steps
    }
}

void LedPageTest::colourFieldsPresetsAndTheGradient()
{
    PageHarness h(kStrix);
    h.Profile().mainLight = {1, 0, 6, Rgb(0, 10, 20), {}};
    const auto page = h.Make<CLedDlg>();
    QLineEdit* red = page->ColourField(0);
    QCOMPARE(page->ColourField(1)->text(), QStringLiteral("10"));
    red->selectAll();
    QTest::keyClicks(red, QStringLiteral("300"));
    QCOMPARE(red->text(), QStringLiteral("255"));
    QCOMPARE(h.Profile().mainLight.colour, Rgb(255, 10, 20));
    QCOMPARE(page->Result()->Colour(), Rgb(255, 10, 20));
    QCOMPARE(h.port.posted.size(), size_t(3));  // "3", "30", "300" each
    QCOMPARE(Requests(h.port).back(), std::make_pair(uint32_t(0x02), uint32_t(2)));

    h.port.posted.clear();
    const QRect cell = page->PresetRect(8);
    QTest::mouseClick(page.get(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(h.Profile().mainLight.colour, Rgb(46, 167, 224));
    QCOMPARE(page->ColourField(2)->text(), QStringLiteral("224"));
    QCOMPARE(Requests(h.port), (Requested{{0x02, 2}}));

    const QRect gradient = page->GradientRect();
    QTest::mouseClick(page.get(), Qt::LeftButton, {}, gradient.topLeft() + QPoint(20, 20));
    const QImage shown = page->grab(gradient).toImage();
    const QRgb pixel = shown.pixel(20, 20);
    QCOMPARE(h.Profile().mainLight.colour, Rgb(qRed(pixel), qGreen(pixel), qBlue(pixel)));

    // Without colour controls (effect 3) the presets take nothing.
    page->Effect(CLedDlg::kMain)->Choose(3);
    const int32_t before = h.Profile().mainLight.colour;
    QTest::mouseClick(page.get(), Qt::LeftButton, {}, page->PresetRect(0).center());
    QCOMPARE(h.Profile().mainLight.colour, before);
}

void LedPageTest::theSleepList_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("45 s") << 45 << QStringLiteral("45 %1").arg(GetText("tc_adv_str24"));
    QTest::newRow("90 s: whole minutes") << 90 << QStringLiteral("1 %1").arg(GetText("tc_adv_str22"));
    QTest::newRow("600 s") << 600 << QStringLiteral("10 %1").arg(GetText("tc_adv_str22"));
}

void LedPageTest::theSleepList()
{
    PageHarness h(kStrix);
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(CLedDlg::SleepText(seconds, Texts()), text);
    h.device.SleepValues = {45, 0, 90, -30, 600};
    const auto page = h.Make<CLedDlg>();
    QCOMPARE(Values(page->SleepSelector()), (std::vector<int32_t>{45, 90, 600}));
    page->SleepSelector()->Choose(seconds);
    QCOMPARE(h.Profile().sleepTime, seconds);
    QCOMPARE(page->SleepSelector()->Text(), text);
}

void LedPageTest::thePowerControlsUnderPidAndPid2_data()
{
    QTest::addColumn<bool>("underPid");
    QTest::newRow("PID") << true;
    QTest::newRow("PID2") << false;
}

void LedPageTest::thePowerControlsUnderPidAndPid2()
{
    QFETCH(bool, underPid);
    PageHarness h(kStrix);
    h.port.underPid = underPid;
    h.Profile().lightOffMoving = 0;
    const auto page = h.Make<CLedDlg>();
    QCOMPARE(page->LightOffBox()->Disabled(), underPid);
    QCOMPARE(page->SleepSelector()->Disabled(), underPid);
    QTest::mouseClick(page->LightOffBox(), Qt::LeftButton);
    QCOMPARE(h.Profile().lightOffMoving, underPid ? 0 : 1);
    QCOMPARE(page->LightOffBox()->isChecked(), !underPid);
    QCOMPARE(Requests(h.port), (underPid ? Requested{} : Requested{{0x10000, 0}}));
    if (!underPid) {
        page->SleepSelector()->Choose(600);
        QCOMPARE(h.Profile().sleepTime, 600);
        QCOMPARE(Requests(h.port).back(), std::make_pair(uint32_t(0x4000), uint32_t(0)));
    }
}

void LedPageTest::aLockedLightingKeepsTheChangeAndSendsNothing()
{
    PageHarness h(kStrix);
    h.port.lightingLocked = true;
    const auto page = h.Make<CLedDlg>();
    page->Effect(CLedDlg::kMain)->Choose(2);
    QCOMPARE(h.Profile().mainLight.mode, 2);
    QVERIFY(h.port.posted.empty());
    QCOMPARE(page->Effect(CLedDlg::kMain)->SelectedValue(), 2);

    h.port.allowChanges = false;  // refused: the selector goes back to what the profile holds
    page->Effect(CLedDlg::kMain)->Choose(5);
    QCOMPARE(h.Profile().mainLight.mode, 2);
    QCOMPARE(page->Effect(CLedDlg::kMain)->SelectedValue(), 2);
}

void LedPageTest::whatTheMouseReportsIsShown()
{
    PageHarness h(kStrix);
    const auto page = h.Make<CLedDlg>();
    h.Profile().mainLight = {5, 2, 9, Rgb(1, 2, 3), {}};
    emit h.port.lightingChanged();
    QCOMPARE(page->Effect(CLedDlg::kMain)->SelectedValue(), 5);
    QCOMPARE(page->Brightness(CLedDlg::kMain)->Value(), 9);
    QCOMPARE(page->Speed(CLedDlg::kMain)->Value(), 2);
    QCOMPARE(page->Result()->Colour(), Rgb(1, 2, 3));
    QVERIFY(h.port.posted.empty());
}

void LedPageTest::badValuesAreShownClampedAndNeverWrittenBack()
{
    PageHarness h(kStrix);
    h.device.ShowLogoEffect = 1;
    Config().opt.LedOpt[1] = {50, -3, 7};  // effect 2: speed 50, brightness -3
    ProfileRecord& p = h.Profile();
    p.mainLight = {9, 99, -1, 0x7FFFFFFF, {}};
    p.logoLight = {7, -4, 40, 0, {}};
    p.sleepTime = 7;
    p.lightOffMoving = 3;
    const ProfileRecord before = p;
    const auto page = h.Make<CLedDlg>();
    page->RefreshFromProfile();
    QVERIFY(h.port.posted.empty());
    QCOMPARE(std::memcmp(&before, &h.Profile(), sizeof before), 0);
    QCOMPARE(page->Effect(CLedDlg::kMain)->SelectedIndex(), -1);
    QCOMPARE(page->SleepSelector()->SelectedIndex(), -1);
    QVERIFY(page->LightOffBox()->isChecked());

    // The user's choice is written as the rules have it; the page stays within its sliders.
    page->Effect(CLedDlg::kMain)->Choose(2);
    QCOMPARE(h.Profile().mainLight.mode, 2);
    QVERIFY(Shown(page->Speed(CLedDlg::kMain)));
    QCOMPARE(page->Speed(CLedDlg::kMain)->Value(), 10);
    QCOMPARE(page->SpeedLabel()->Text(), QStringLiteral("10"));
    QCOMPARE(Requests(h.port), (Requested{{0x02, 2}}));
}

QTEST_MAIN(LedPageTest)
#include "led_page_test.moc"
