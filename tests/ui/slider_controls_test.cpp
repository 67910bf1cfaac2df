// The skinned sliders: the scale spread in single precision, the position nearest to a click
// (the later entry on equal distance), values and tables, the owner's question, drags that
// report once at their end, the two-thumb bar and the keyboard.
#include "app/message_box.h"
#include "ui/controls/png_slider_bar.h"
#include "ui/ui_fixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

namespace {

// A 261 x 10 bar of `steps` positions, scale spread for a 10-pixel thumb, shown.
std::unique_ptr<CPngSliderBar> Bar(int steps, bool spread = true)
{
    std::unique_ptr<CPngSliderBar> bar(NewSmallPngSliderBar(nullptr, {QRect(0, 0, 261, 10), QStringLiteral("bar_nr.png"),
                                                                       QStringLiteral("bar_ov.png"),
                                                                       QStringLiteral("slider.png"), 3, 0, steps, 7}));
    if (bar && spread)
        bar->SpreadScaleEvenly(steps);
    if (bar)
        bar->show();
    return bar;
}

std::unique_ptr<CPngHSliderBarEx> PairBar()
{
    std::unique_ptr<CPngHSliderBarEx> bar(NewSmallPngHSliderBarEx(
        nullptr, {QRect(0, 0, 650, 29), QStringLiteral("longbar_nr.png"), QStringLiteral("longbar_ov.png"),
                  QStringLiteral("slider.png"), 12, 10, 10, 145},
        QStringLiteral("slider1.png"), QStringLiteral("slider2.png")));
    bar->SetValues({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
    bar->SpreadScaleEvenly(10);
    bar->show();
    return bar;
}

}  // namespace

class SliderControlsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { fixture_ = std::make_unique<UiFixture>(); }
    void cleanup() { fixture_.reset(); }

    void theScaleIsSpreadInSinglePrecision_data();
    void theScaleIsSpreadInSinglePrecision();
    void aClickSelectsTheNearestPosition_data();
    void aClickSelectsTheNearestPosition();
    void valuesAndTables();
    void anOwnerThatRefusesKeepsTheThumbStill();
    void aDragReportsWhileMovingAndSetsOnceAtTheEnd();
    void theTwoThumbBar();
    void theKeyboardGoesThroughTheQuestionAndTheNotice_data();
    void theKeyboardGoesThroughTheQuestionAndTheNotice();

private:
    std::unique_ptr<UiFixture> fixture_;
};

void SliderControlsTest::theScaleIsSpreadInSinglePrecision_data()
{
    QTest::addColumn<int>("bar");
    QTest::addColumn<int>("count");
    QTest::addColumn<std::vector<int>>("scale");
    QTest::newRow("261/10 in 10") << 261 << 10 << std::vector<int>{5, 32, 60, 88, 116, 144, 172, 200, 228, 255};
    QTest::newRow("261/10 in 5") << 261 << 5 << std::vector<int>{5, 67, 130, 193, 256};
    QTest::newRow("one position") << 261 << 1 << std::vector<int>{5};
    QTest::newRow("no room for a step") << 10 << 3 << std::vector<int>{};
}

void SliderControlsTest::theScaleIsSpreadInSinglePrecision()
{
    QFETCH(int, bar);
    QFETCH(int, count);
    QFETCH(std::vector<int>, scale);
    QCOMPARE(SpreadScale(bar, 10, count), scale);
    const bool warned = !fixture_->Messages().empty() && fixture_->Messages().back().text == QStringLiteral("Scale num too much");
    QCOMPARE(warned, scale.empty());
}

void SliderControlsTest::aClickSelectsTheNearestPosition_data()
{
    QTest::addColumn<bool>("scale");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("position");
    // Scale 5, 32, 60, ...: 18 is 13 from 5 and 14 from 32; 46 is 14 from both 32 and 60.
    QTest::newRow("18") << true << 18 << 1;
    QTest::newRow("19") << true << 19 << 2;
    QTest::newRow("46, the later wins") << true << 46 << 3;
    QTest::newRow("far right") << true << 260 << 10;
    // Without a scale: 29 pixels a position.
    QTest::newRow("no scale, 43 (nearer 29)") << false << 43 << 2;
    QTest::newRow("no scale, 44 (nearer 58)") << false << 44 << 3;
}

void SliderControlsTest::aClickSelectsTheNearestPosition()
{
    QFETCH(bool, scale);
    QFETCH(int, x);
    QFETCH(int, position);
    const auto bar = Bar(10, scale);
    QVERIFY(bar);
    QSignalSpy set(bar.get(), &SliderBarBase::valueSet);
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, QPoint(x, 1));
    QCOMPARE(bar->Thumb(1)->Model().Position(), position);
    QCOMPARE(set.count(), position == 1 ? 0 : 1);  // it started on position 1
    if (position != 1)
        QCOMPARE(set.front().at(1).toInt(), 7);
    QCOMPARE(bar->Thumb(1)->Centre(), bar->Thumb(1)->Model().CentreOf(position, 261));
}

void SliderControlsTest::valuesAndTables()
{
    const auto bar = Bar(10, false);
    bar->SetValue(0);
    QCOMPARE(bar->Thumb(1)->Model().Position(), 1);  // outside the range: the minimum
    bar->SetValue(7);
    QCOMPARE(bar->Value(), 7);
    QCOMPARE(bar->FillLength(), 29 * 6 + 1);  // centre + 1: 261 / 9 pixels a position
    bar->SetValue(10);
    QCOMPARE(bar->FillLength(), 261);  // the last position fills the bar

    bar->SetValues({900, 830, 760, 690, 620, 550, 480, 410, 340, 270});
    bar->SetValue(620);
    QCOMPARE(bar->Thumb(1)->Model().Position(), 5);
    bar->SetValue(555);  // not in the table: the thumb stays
    QCOMPARE(bar->Value(), 620);

    QSignalSpy set(bar.get(), &SliderBarBase::valueSet);
    bar->SetValue(410);
    QCOMPARE(set.count(), 0);
    bar->SetNotifyOnSet(true);
    bar->SetValue(480);
    QCOMPARE(set.count(), 1);

    bar->SetScale({1, 2, 3});  // does not fit 1..10: used all the same, and reported
    QCOMPARE(fixture_->Messages().back().text, QStringLiteral("CPngSlider::SetScalePos  dwScale and Range unmatch!"));
    QCOMPARE(fixture_->Messages().back().caption, QStringLiteral("Warning"));
    QCOMPARE(bar->Thumb(1)->Model().PositionAt(3, 261), 3);
}

void SliderControlsTest::anOwnerThatRefusesKeepsTheThumbStill()
{
    const auto bar = Bar(10);
    bar->SetValue(4);
    const QPoint start = bar->Thumb(1)->pos();
    int asked = 0;
    connect(bar.get(), &SliderBarBase::queryChange, this, [&](int value, int id, int, bool* allowed) {
        ++asked;
        QCOMPARE(id, 7);
        QVERIFY(value == 4);  // the press asks with the current value
        *allowed = false;
    });
    QSignalSpy set(bar.get(), &SliderBarBase::valueSet);
    QSignalSpy live(bar.get(), &SliderBarBase::valueChanging);
    QWidget* thumb = bar->Thumb(1);
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(thumb, QPoint(80, 5));
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(80, 5));
    QCOMPARE(asked, 1);
    QCOMPARE(bar->Thumb(1)->pos(), start);
    QCOMPARE(bar->Value(), 4);
    QCOMPARE(set.count() + live.count(), 0);
    disconnect(bar.get(), &SliderBarBase::queryChange, this, nullptr);
    connect(bar.get(), &SliderBarBase::queryChange, this, [](int, int, int, bool* allowed) { *allowed = false; });
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, QPoint(200, 1));
    QCOMPARE(bar->Value(), 4);
    QCOMPARE(set.count(), 0);
}

void SliderControlsTest::aDragReportsWhileMovingAndSetsOnceAtTheEnd()
{
    const auto bar = Bar(10);
    QSignalSpy set(bar.get(), &SliderBarBase::valueSet);
    QSignalSpy live(bar.get(), &SliderBarBase::valueChanging);
    CPngSlider* thumb = bar->Thumb(1);
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(5, 5));
    for (int x = 6; x <= 205; ++x)
        QTest::mouseMove(thumb, thumb->mapFromParent(QPoint(x, 5)));
    QVERIFY(thumb->Dragging());
    QCOMPARE(bar->FillLength(), thumb->Centre());
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, thumb->mapFromParent(QPoint(205, 5)));
    QCOMPARE(set.count(), 1);
    QCOMPARE(set.front().at(0).toInt(), 8);  // 200 is the scale pixel of position 8
    QCOMPARE(thumb->Centre(), 200);          // snapped
    QCOMPARE(live.count(), 7);               // 2, 3, ... 8, each once
    QCOMPARE(live.back().at(0).toInt(), 8);
}

void SliderControlsTest::theTwoThumbBar()
{
    const auto bar = PairBar();
    QSignalSpy set(bar.get(), &SliderBarBase::valueSet);
    // One thumb: a click moves the first and puts the second on the same value, unannounced.
    QVERIFY(bar->Thumb(2)->isHidden());
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, QPoint(150, 25));
    QCOMPARE(set.count(), 1);
    QCOMPARE(set.back().at(2).toInt(), 1);
    QCOMPARE(bar->Value(2), bar->Value(1));

    // Two thumbs: the lower half moves the second, the upper half the first.
    bar->SetTwoThumbs(true);
    QVERIFY(!bar->Thumb(2)->isHidden());
    const int first = bar->Value(1);
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, QPoint(640, 20));
    QCOMPARE(bar->Value(2), 1000);
    QCOMPARE(bar->Value(1), first);
    QCOMPARE(set.back().at(0).toInt(), 1000);
    QCOMPARE(set.back().at(1).toInt(), 145);
    QCOMPARE(set.back().at(2).toInt(), 2);
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, QPoint(5, 3));
    QCOMPARE(bar->Value(1), 100);
    QCOMPARE(bar->Value(2), 1000);

    // A drag ends where the pointer is released; released on its own position it does nothing.
    const int count = int(set.count());
    CPngSlider* second = bar->Thumb(2);
    const QPoint from = second->geometry().center();
    QTest::mousePress(second, Qt::LeftButton, {}, second->mapFromParent(from));
    QTest::mouseMove(second, second->mapFromParent(from - QPoint(300, 0)));
    QTest::mouseRelease(second, Qt::LeftButton, {}, second->mapFromParent(from - QPoint(2, 0)));
    QCOMPARE(set.count(), count);
    QCOMPARE(bar->Value(2), 1000);
    QCOMPARE(second->geometry().center(), from);
}

void SliderControlsTest::theKeyboardGoesThroughTheQuestionAndTheNotice_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<int>("position");
    QTest::newRow("right") << int(Qt::Key_Right) << true << 6;
    QTest::newRow("left") << int(Qt::Key_Left) << true << 4;
    QTest::newRow("up") << int(Qt::Key_Up) << true << 6;
    QTest::newRow("page up") << int(Qt::Key_PageUp) << true << 7;
    QTest::newRow("page down") << int(Qt::Key_PageDown) << true << 3;
    QTest::newRow("home") << int(Qt::Key_Home) << true << 1;
    QTest::newRow("end") << int(Qt::Key_End) << true << 20;
    QTest::newRow("refused") << int(Qt::Key_End) << false << 5;
}

void SliderControlsTest::theKeyboardGoesThroughTheQuestionAndTheNotice()
{
    QFETCH(int, key);
    QFETCH(bool, allowed);
    QFETCH(int, position);
    const auto bar = Bar(20);
    bar->SetValue(5);
    int asked = 0;
    connect(bar.get(), &SliderBarBase::queryChange, this, [&](int, int, int, bool* ok) {
        ++asked;
        *ok = allowed;
    });
    QSignalSpy set(bar.get(), &SliderBarBase::valueSet);
    QTest::keyClick(bar->Thumb(1), Qt::Key(key));
    QCOMPARE(asked, 1);
    QCOMPARE(bar->Value(), position);
    QCOMPARE(set.count(), allowed ? 1 : 0);
}

QTEST_MAIN(SliderControlsTest)
#include "slider_controls_test.moc"
