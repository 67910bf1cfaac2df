// The DPI and performance page over a steered session: level count, separate X/Y, typed DPI
// values, the DPI light sliders, the polling rate from the mouse, models without DPI controls,
// profiles with values out of range, drags, refusals, the older layout's pointer settings and
// the desktop's mouse settings program.
#include "app/configuration.h"
#include "profile/profile_state.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/controls/png_slider_bar.h"
#include "ui/page_fixture.h"
#include "ui/pages/adv_dlg.h"
#include "ui/pages/color_dlg.h"
#include "ui/pages/new_adv_dlg.h"
#include "ui/pages/system_mouse_settings.h"
#include "skin/display_scale.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace zorvan;
using namespace zorvan::test;

namespace {

// [DEV_1]: sensor 0x3325 (200..5000 by 100, then 6000..10000), six levels, SetDPIByClick.
constexpr int kStrix = 1;
// [DEV_3]: sensor 0x3395, eight levels (six in use), separate X/Y, lift-off distance.
constexpr int kVanta = 3;

bool Shown(const QWidget* widget)
{
    return widget && !widget->isHidden();
}

std::vector<std::pair<uint32_t, uint32_t>> Requests(const FakeDevicePort& port)
{
    std::vector<std::pair<uint32_t, uint32_t>> requests;
    for (const ApplyRequest& r : port.posted)
        requests.emplace_back(r.flags, r.data);
    return requests;
}

using Requested = std::vector<std::pair<uint32_t, uint32_t>>;

// A click on level `level`'s bar at the scale pixel of `value`, in its upper or lower half.
void ClickLevelAt(CPngHSliderBarEx* bar, int value, bool lowerHalf = false)
{
    const SliderModel& model = bar->Thumb(1)->Model();
    const int position = *model.PositionOf(value);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(model.CentreOf(position, bar->Length()), lowerHalf ? 25 : 3));
}

}  // namespace

class DpiPageTest : public QObject {
    Q_OBJECT
private slots:
    void theLevelCountHidesRowsAndMayResetTheCurrentLevel_data();
    void theLevelCountHidesRowsAndMayResetTheCurrentLevel();
    void separateXYShowsYAsXAndMovesOnlyY();
    void aTypedDpiTakesTheNearestValueOfTheTable_data();
    void aTypedDpiTakesTheNearestValueOfTheTable();
    void theDpiLightSlidersPostOnlyInTheirOwnEffect();
    void thePollingRateTheMouseReports_data();
    void thePollingRateTheMouseReports();
    void aModelWithoutDpiControlsShowsOnlyThePerformanceControls();
    void aProfileOutOfRangeIsShownClampedAndNotWrittenBack();
    void aDragSendsOneRequestWhenTheThumbIsReleased();
    void aRefusedChangeLeavesTheControlsAsTheProfileIs();
    void aLevelLabelChoosesTheCurrentLevelOnlyWhereTheModelSaysSo();
    void theOlderLayoutsPointerSettings();
    void theDesktopsOwnMouseSettingsProgram_data();
    void theDesktopsOwnMouseSettingsProgram();
    void withoutAModelNothingShowsAndNothingChanges();
    void aSensorWithoutATableOffersNoValues();
    void inFourKModeTheControlsAreDoubled();
    void theTypingHintCoversNoControl_data();
    void theTypingHintCoversNoControl();
};

void DpiPageTest::theLevelCountHidesRowsAndMayResetTheCurrentLevel_data()
{
    QTest::addColumn<bool>("sync");
    QTest::addColumn<uint32_t>("flags");
    QTest::addColumn<int>("level");
    QTest::newRow("alone") << false << uint32_t(0x80) << 1;
    QTest::newRow("SyncChangeDpiLevel") << true << uint32_t(0x90) << 0;
}

void DpiPageTest::theLevelCountHidesRowsAndMayResetTheCurrentLevel()
{
    QFETCH(bool, sync);
    QFETCH(uint32_t, flags);
    QFETCH(int, level);
    PageHarness h(kStrix);
    Config().opt.SyncChangeDpiLevel = sync ? 1 : 0;
    const auto page = h.Make<CNewAdvDlg>();
    QCOMPARE(page->LevelCountSelector()->Items(0).size(), size_t(6));
    QVERIFY(Shown(page->LevelSlider(5)));
    page->LevelCountSelector()->Choose(3);
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(Shown(page->LevelSlider(i)), i < 3);
        QCOMPARE(Shown(page->Swatch(i)), i < 3);
        QCOMPARE(Shown(page->LevelLabel(i)), i < 3);
        QCOMPARE(Shown(page->XText(i)), i < 3);
    }
    QCOMPARE(h.Profile().dpiLevelCount, 3);
    QCOMPARE(Requests(h.port), (Requested{{flags, 0}}));
    QCOMPARE(g_nCurDpiLevel.load(), level);
    QVERIFY(page->LevelLabel(level)->isChecked());
}

void DpiPageTest::separateXYShowsYAsXAndMovesOnlyY()
{
    PageHarness h(kVanta);
    const auto page = h.Make<CNewAdvDlg>();
    QVERIFY(Shown(page->XYBox()));
    QVERIFY(!Shown(page->YText(0)));
    QTest::mouseClick(page->XYBox(), Qt::LeftButton);
    QCOMPARE(h.Profile().xySeparate, 1);
    QVERIFY(page->XYBox()->isChecked());
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(Shown(page->YText(i)), i < 6);
        QCOMPARE(page->YText(i)->Text(), page->XText(i)->Text());
    }
    QVERIFY(page->LevelSlider(0)->TwoThumbs());

    const int x = h.Profile().dpiLevels[0].x;
    ClickLevelAt(page->LevelSlider(0), 3200, true);  // the lower half: the Y thumb
    QCOMPARE(h.Profile().dpiLevels[0].y, 3200);
    QCOMPARE(h.Profile().dpiLevels[0].x, x);
    QCOMPARE(page->YText(0)->Text(), QStringLiteral("3200"));
    QCOMPARE(page->XText(0)->Text(), QString::number(x));

    QTest::mouseClick(page->XYBox(), Qt::LeftButton);
    QCOMPARE(h.Profile().xySeparate, 0);
    QCOMPARE(h.Profile().dpiLevels[0].y, x);
    QVERIFY(!Shown(page->YText(0)));
    QVERIFY(!page->LevelSlider(0)->TwoThumbs());
    QCOMPARE(Requests(h.port), (Requested{{0x04, 0xFF}, {0x04, 0}, {0x04, 0xFF}}));
}

void DpiPageTest::aTypedDpiTakesTheNearestValueOfTheTable_data()
{
    QTest::addColumn<std::optional<int>>("typed");
    QTest::addColumn<int>("x");
    // Sensor 0x3325 offers 1200 and 1300.
    QTest::newRow("1234: 34 against 66") << std::optional<int>(1234) << 1200;
    QTest::newRow("1250: equal, the lower position") << std::optional<int>(1250) << 1200;
    QTest::newRow("1251") << std::optional<int>(1251) << 1300;
    QTest::newRow("beyond the table") << std::optional<int>(65535) << 10000;
    QTest::newRow("0 changes nothing") << std::optional<int>(0) << 800;
    QTest::newRow("cancelled") << std::optional<int>() << 800;
}

void DpiPageTest::aTypedDpiTakesTheNearestValueOfTheTable()
{
    QFETCH(std::optional<int>, typed);
    QFETCH(int, x);
    PageHarness h(kStrix);
    const auto page = h.Make<CNewAdvDlg>();
    QString asked;
    page->askNumber = [&](const QString& prompt) {
        asked = prompt;
        return typed;
    };
    QTest::mouseDClick(page->XText(1), Qt::LeftButton);
    QCOMPARE(asked, GetText("tc_dpirange"));
    QCOMPARE(h.Profile().dpiLevels[1].x, x);
    QCOMPARE(h.Profile().dpiLevels[1].y, x);
    QCOMPARE(page->XText(1)->Text(), QString::number(x));
    QCOMPARE(page->LevelSlider(1)->Value(1), x);
    QCOMPARE(Requests(h.port), (x == 800 ? Requested{} : Requested{{0x04, 1}}));

    // Without its own prompt text the page names the table's range.
    SetText("tc_dpirange", QString());
    QTest::mouseDClick(page->XText(1), Qt::LeftButton);
    QCOMPARE(asked, QStringLiteral("%1   (200 ~ 10000)").arg(GetText("tc_dpi")));
}

void DpiPageTest::theDpiLightSlidersPostOnlyInTheirOwnEffect()
{
    PageHarness h(kStrix);
    h.Profile().dpiEffectMode = 0;
    h.Profile().dpiEffectSpeed = 3;
    const auto page = h.Make<CNewAdvDlg>();
    CPngSliderBar* speed = page->EffectSpeedSlider();
    QVERIFY(Shown(speed) && speed->Thumb(1)->isHidden());
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(255, 5));
    QCOMPARE(h.Profile().dpiEffectSpeed, 3);
    QVERIFY(h.port.posted.empty());

    page->EffectSelector()->Choose(1);
    QCOMPARE(h.Profile().dpiEffectMode, 1);
    QVERIFY(!speed->Thumb(1)->isHidden());
    QVERIFY(page->EffectParameterSlider()->Thumb(1)->isHidden());
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(255, 5));
    QCOMPARE(h.Profile().dpiEffectSpeed, 10);
    QCOMPARE(Requests(h.port), (Requested{{0x02, 4}, {0x02, 4}}));
}

void DpiPageTest::thePollingRateTheMouseReports_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("radio");
    QTest::newRow("1: 1000 Hz") << 1 << 3;
    QTest::newRow("2: 500 Hz") << 2 << 2;
    QTest::newRow("4: 250 Hz") << 4 << 1;
    QTest::newRow("8: 125 Hz") << 8 << 0;
    QTest::newRow("unknown") << 3 << -1;
}

void DpiPageTest::thePollingRateTheMouseReports()
{
    QFETCH(int, code);
    QFETCH(int, radio);
    PageHarness h(kStrix);
    const auto page = h.Make<CNewAdvDlg>();
    QVERIFY(page->RateRadio(3)->isChecked());  // the model's DR=0x1000
    emit h.port.pollingRateChanged(code);
    for (int k = 0; k < 4; ++k)
        QCOMPARE(page->RateRadio(k)->isChecked(), k == radio);

    // The mouse's DPI button and lighting read back reach the page too.
    emit h.port.dpiLevelChanged(4);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(page->LevelLabel(i)->isChecked(), i == 4);
    h.Profile().dpiEffectMode = 2;
    emit h.port.dpiLightingChanged();
    QCOMPARE(page->EffectSelector()->SelectedValue(), 2);
    QVERIFY(!page->EffectParameterSlider()->Thumb(1)->isHidden());

    QTest::mouseClick(page->RateRadio(2), Qt::LeftButton);
    QCOMPARE(h.Profile().pollingRate, kRate500);
    QCOMPARE(Requests(h.port), (Requested{{0x20, 0}}));
}

void DpiPageTest::aModelWithoutDpiControlsShowsOnlyThePerformanceControls()
{
    PageHarness h(kVanta);
    h.device.ShowDpi = 0;
    h.device.ShowDpiLED = 0;
    const auto page = h.Make<CNewAdvDlg>();
    for (int i = 0; i < 8; ++i) {
        QVERIFY(!Shown(page->LevelSlider(i)));
        QVERIFY(!Shown(page->Swatch(i)));
        QVERIFY(!Shown(page->LevelLabel(i)));
        QVERIFY(!Shown(page->XText(i)));
        QVERIFY(!Shown(page->YText(i)));
    }
    for (const QWidget* hidden : std::initializer_list<const QWidget*>{
             page->LevelCountSelector(), page->XYBox(), page->EffectSelector(), page->EffectSpeedSlider(),
             page->EffectParameterSlider()})
        QVERIFY(!Shown(hidden));
    for (const QWidget* shown : std::initializer_list<const QWidget*>{
             page->RateRadio(0), page->RateRadio(3), page->LodRadio(0), page->LodRadio(1), page->RippleBox(),
             page->AngleBox()})
        QVERIFY(Shown(shown));
}

void DpiPageTest::aProfileOutOfRangeIsShownClampedAndNotWrittenBack()
{
    PageHarness h(kStrix);
    ProfileRecord& p = h.Profile();
    p.dpiLevelCount = 12;
    p.dpiLevels[0].x = 123456;
    p.dpiLevels[0].y = -5;
    p.dpiLevels[1].x = 1234;
    p.dpiEffectMode = 9;
    p.dpiEffectSpeed = 99;
    p.dpiEffectParameter = -3;
    p.pollingRate = 0x333;
    p.lod = 7;
    p.xySeparate = 5;
    g_nCurDpiLevel.store(-1);
    const ProfileRecord before = p;
    const auto page = h.Make<CNewAdvDlg>();
    page->RefreshFromProfile();
    QVERIFY(h.port.posted.empty());
    QCOMPARE(std::memcmp(&before, &h.Profile(), sizeof before), 0);
    QCOMPARE(page->XText(0)->Text(), QStringLiteral("10000"));
    QCOMPARE(page->LevelSlider(0)->Value(1), 10000);
    QCOMPARE(page->XText(1)->Text(), QStringLiteral("1200"));
    QCOMPARE(page->LevelCountSelector()->SelectedValue(), 6);  // the model's six levels
    QVERIFY(Shown(page->LevelSlider(5)) && !Shown(page->LevelSlider(6)));
    QCOMPARE(page->EffectSelector()->SelectedIndex(), -1);
    for (int k = 0; k < 4; ++k)
        QVERIFY(!page->RateRadio(k)->isChecked());
    for (int i = 0; i < 8; ++i)
        QVERIFY(!page->LevelLabel(i)->isChecked());

    // Changing the level writes that level only, as shown.
    ClickLevelAt(page->LevelSlider(1), 1600);
    QCOMPARE(h.Profile().dpiLevels[1].x, 1600);
    QCOMPARE(h.Profile().dpiLevels[0].x, 123456);
    QCOMPARE(Requests(h.port), (Requested{{0x04, 1}}));
}

void DpiPageTest::aDragSendsOneRequestWhenTheThumbIsReleased()
{
    PageHarness h(kStrix);
    const auto page = h.Make<CNewAdvDlg>();
    CPngSlider* thumb = page->LevelSlider(2)->Thumb(1);
    const QPoint start = thumb->geometry().center();
    QTest::mousePress(thumb, Qt::LeftButton, {}, thumb->mapFromParent(start));
    for (int step = 1; step <= 200; ++step)
        QTest::mouseMove(thumb, thumb->mapFromParent(start + QPoint(step, 0)));
    QVERIFY(h.port.posted.empty());
    QCOMPARE(page->XText(2)->Text().toInt(), page->LevelSlider(2)->Thumb(1)->Model().ValueAt(
                                                 thumb->Model().PositionAt(thumb->Centre(), 650)));
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, thumb->mapFromParent(start + QPoint(200, 0)));
    QCOMPARE(Requests(h.port), (Requested{{0x04, 2}}));
    QCOMPARE(h.Profile().dpiLevels[2].x, page->LevelSlider(2)->Value(1));
    QVERIFY(h.Profile().dpiLevels[2].x > 1600);
}

void DpiPageTest::aRefusedChangeLeavesTheControlsAsTheProfileIs()
{
    PageHarness h(kVanta);
    const auto page = h.Make<CNewAdvDlg>();
    const ProfileRecord before = h.Profile();
    h.port.allowChanges = false;
    QTest::mouseClick(page->RateRadio(0), Qt::LeftButton);
    QTest::mouseClick(page->RippleBox(), Qt::LeftButton);
    QTest::mouseClick(page->LodRadio(1), Qt::LeftButton);
    QTest::mouseClick(page->XYBox(), Qt::LeftButton);
    ClickLevelAt(page->LevelSlider(0), 3200);
    page->LevelCountSelector()->Choose(2);
    QVERIFY(h.port.posted.empty());
    QCOMPARE(std::memcmp(&before, &h.Profile(), sizeof before), 0);
    QVERIFY(!page->RateRadio(0)->isChecked() && page->RateRadio(3)->isChecked());
    QVERIFY(!page->RippleBox()->isChecked());
    QVERIFY(!page->XYBox()->isChecked());
    QCOMPARE(page->LevelSlider(0)->Value(1), before.dpiLevels[0].x);
    QCOMPARE(page->LevelCountSelector()->SelectedValue(), 6);
}

void DpiPageTest::aLevelLabelChoosesTheCurrentLevelOnlyWhereTheModelSaysSo()
{
    for (const bool byClick : {true, false}) {
        PageHarness h(kStrix);
        h.device.SetDpiByClick = byClick ? 1 : 0;
        const auto page = h.Make<CNewAdvDlg>();
        QVERIFY(page->LevelLabel(1)->isChecked());  // DEFLEVEL=1
        QTest::mouseClick(page->LevelLabel(3), Qt::LeftButton);
        QCOMPARE(g_nCurDpiLevel.load(), byClick ? 3 : 1);
        QCOMPARE(page->LevelLabel(3)->isChecked(), byClick);
        QCOMPARE(page->LevelLabel(1)->isChecked(), !byClick);
        QCOMPARE(Requests(h.port), (byClick ? Requested{{0x10, 0}} : Requested{}));
    }
}

void DpiPageTest::theOlderLayoutsPointerSettings()
{
    PageHarness h(kStrix);
    h.Profile().pointerSpeed = 10;
    h.Profile().wheelLines = kWheelOneScreen;
    h.Profile().doubleClickTime = 555;  // not a slider value: shown as the nearest
    const auto page = h.Make<CAdvDlg>();
    // Without a mouse the mouse's settings are refused; the desktop's are not.
    h.port.allowChanges = false;
    QCOMPARE(page->LevelSlider(0)->Length(), 390);
    QVERIFY(Shown(page->PointerSpeedSlider()));
    QCOMPARE(page->PointerSpeedSlider()->Value(), 10);
    QCOMPARE(page->WheelSlider()->Value(), 3);
    QVERIFY(page->OneScreenBox()->isChecked());
    QCOMPARE(page->DoubleClickSlider()->Value(), 550);
    QVERIFY(h.port.posted.empty());

    QTest::mouseClick(page->PointerSpeedSlider(), Qt::LeftButton, {}, QPoint(255, 5));
    QCOMPARE(h.Profile().pointerSpeed, 20);
    QTest::mouseClick(page->OneScreenBox(), Qt::LeftButton);
    QCOMPARE(h.Profile().wheelLines, 3);
    QVERIFY(!page->OneScreenBox()->isChecked());
    QTest::mouseClick(page->PrecisionBox(), Qt::LeftButton);
    QCOMPARE(h.Profile().enhancePrecision, Options().EnhancePrecision == 0 ? 1 : 0);
    QTest::mouseClick(page->DoubleClickSlider(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(h.Profile().doubleClickTime, 900);
    QCOMPARE(Requests(h.port), (Requested{{0x08, 0}, {0x08, 0}, {0x08, 0}, {0x08, 0}}));

    Config().opt.ShowSys = 0;
    const auto hidden = h.Make<CAdvDlg>();
    QVERIFY(!Shown(hidden->PointerSpeedSlider()) && !Shown(hidden->WheelSlider()) && !Shown(hidden->DoubleClickSlider()));
    QVERIFY(!Shown(hidden->PrecisionBox()) && !Shown(hidden->OneScreenBox()));
}

void DpiPageTest::theDesktopsOwnMouseSettingsProgram_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QStringList>("command");
    const QStringList all{QStringLiteral("gnome-control-center"), QStringLiteral("systemsettings"),
                          QStringLiteral("xfce4-mouse-settings")};
    QTest::newRow("GNOME") << QStringLiteral("ubuntu:GNOME") << all
                           << QStringList{QStringLiteral("gnome-control-center"), QStringLiteral("mouse")};
    QTest::newRow("KDE") << QStringLiteral("KDE") << all
                         << QStringList{QStringLiteral("systemsettings"), QStringLiteral("kcm_mouse")};
    QTest::newRow("Xfce") << QStringLiteral("XFCE") << all << QStringList{QStringLiteral("xfce4-mouse-settings")};
    QTest::newRow("KDE without its program") << QStringLiteral("KDE") << QStringList{all[0], all[2]} << QStringList{};
    QTest::newRow("no desktop named") << QString() << QStringList{all[2]} << QStringList{all[2]};
    QTest::newRow("nothing installed") << QStringLiteral("GNOME") << QStringList{} << QStringList{};
}

void DpiPageTest::theDesktopsOwnMouseSettingsProgram()
{
    QFETCH(QString, desktop);
    QFETCH(QStringList, installed);
    QFETCH(QStringList, command);
    QTemporaryDir bin;
    for (const QString& program : installed) {
        QFile file(bin.filePath(program));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    const std::optional<QStringList> found = DesktopMouseSettingsCommand(desktop);
    qputenv("PATH", path);
    QCOMPARE(found.value_or(QStringList{}), command);
}

void DpiPageTest::withoutAModelNothingShowsAndNothingChanges()
{
    PageHarness h(kStrix);
    h.port.device = nullptr;
    const ProfileRecord before = h.Profile();
    const auto page = h.Make<CNewAdvDlg>();
    for (const QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY(child->isHidden());
    page->RateRadio(0)->click();
    page->LevelCountSelector()->Choose(2);
    emit h.port.pollingRateChanged(1);
    QVERIFY(h.port.posted.empty());
    QCOMPARE(std::memcmp(&before, &h.Profile(), sizeof before), 0);
}

void DpiPageTest::aSensorWithoutATableOffersNoValues()
{
    PageHarness h(kStrix);
    h.device.Sensor = 0x3360;  // defaults, but no table
    const auto page = h.Make<CNewAdvDlg>();
    QVERIFY(page->LevelSlider(0)->Thumb(1)->Model().Scale().empty());
    QCOMPARE(page->XText(0)->Text(), QString::number(h.Profile().dpiLevels[0].x));
    bool asked = false;
    page->askNumber = [&](const QString&) {
        asked = true;
        return std::optional<int>(1000);
    };
    QTest::mouseDClick(page->XText(0), Qt::LeftButton);
    QVERIFY(!asked);
    QTest::mouseClick(page->LevelSlider(0), Qt::LeftButton, {}, QPoint(600, 3));
    QVERIFY(h.port.posted.empty());
}

void DpiPageTest::inFourKModeTheControlsAreDoubled()
{
    PageHarness h(kStrix);
    SetFourK(true);
    h.context.area = QRect(0, 0, 2034, 1060);
    const auto page = h.Make<CNewAdvDlg>();
    CPngHSliderBarEx* bar = page->LevelSlider(1);
    QCOMPARE(bar->width(), 1300);
    QCOMPARE(bar->Thumb(1)->width(), 20);
    QCOMPARE(bar->Thumb(1)->Model().Scale().front(), 10);  // spread for the doubled thumb
    QCOMPARE(page->RateRadio(0)->geometry(), QRect(1864, 146, 24, 24));
    ClickLevelAt(bar, 3200);
    QCOMPARE(h.Profile().dpiLevels[1].x, 3200);
    SetFourK(false);
}

void DpiPageTest::theTypingHintCoversNoControl_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("older");
    QTest::addColumn<bool>("fourK");
    QTest::addColumn<int>("levels");
    for (bool fourK : {false, true}) {
        const char* mode = fourK ? "4K" : "normal size";
        QTest::addRow("%s, all six levels", mode) << kStrix << false << fourK << 6;
        QTest::addRow("%s, one level", mode) << kStrix << false << fourK << 1;
        QTest::addRow("%s, separate X/Y, eight levels", mode) << kVanta << false << fourK << 8;
        QTest::addRow("%s, older layout", mode) << kStrix << true << fourK << 6;
    }
}

void DpiPageTest::theTypingHintCoversNoControl()
{
    QFETCH(int, model);
    QFETCH(bool, older);
    QFETCH(bool, fourK);
    QFETCH(int, levels);
    PageHarness h(model);
    h.device.DpiLevelCount = std::max(h.device.DpiLevelCount, levels);
    h.Profile().dpiLevelCount = levels;
    h.Profile().xySeparate = h.device.ShowXY != 0 ? 1 : 0;
    SetFourK(fourK);
    const auto normalSize = qScopeGuard([] { SetFourK(false); });
    h.context.area = Scaled(h.context.area);
    std::unique_ptr<DpiPage> page;
    if (older)
        page = h.Make<CAdvDlg>();
    else
        page = h.Make<CNewAdvDlg>();
    const QRect hint = page->HintRect();
    QVERIFY(!hint.isEmpty());
    QVERIFY(page->rect().contains(hint));
    for (const QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isHidden() && child->geometry().intersects(hint))
            QFAIL(qPrintable(QStringLiteral("the hint %1,%2 %3x%4 covers %5 at %6,%7 %8x%9")
                                 .arg(hint.x()).arg(hint.y()).arg(hint.width()).arg(hint.height())
                                 .arg(QString::fromLatin1(child->metaObject()->className()))
                                 .arg(child->x()).arg(child->y()).arg(child->width()).arg(child->height())));
    }
    // Still under the sliders, whose values it is about.
    QVERIFY(hint.top() > page->LevelSlider(levels - 1)->geometry().bottom());
}

QTEST_MAIN(DpiPageTest)
#include "dpi_page_test.moc"
