// The colour swatches: the DPI levels' CColorDlg asks its owner before it takes a picked colour
// and never opens when read-only; the lighting page's CColorBtnDlg reports presses and, with
// its dialog enabled, a colour picked by a double click.
#include "ui/controls/color_btn.h"
#include "ui/pages/color_dlg.h"
#include "ui/ui_fixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

class ColourSwatchTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        fixture_ = std::make_unique<UiFixture>();
        opened_ = 0;
        SetColourChooser([this](QWidget*, int32_t from) -> std::optional<int32_t> {
            ++opened_;
            startedFrom_ = from;
            return picked_;
        });
    }
    void cleanup()
    {
        SetColourChooser({});
        fixture_.reset();
    }

    void aLevelSwatchTakesAColourOnlyWhenItsOwnerAllows_data();
    void aLevelSwatchTakesAColourOnlyWhenItsOwnerAllows();
    void theResultSwatchReportsPressesAndPicksOnlyWithItsDialog();

private:
    std::unique_ptr<UiFixture> fixture_;
    int opened_ = 0;
    int32_t startedFrom_ = 0;
    std::optional<int32_t> picked_;
};

void ColourSwatchTest::aLevelSwatchTakesAColourOnlyWhenItsOwnerAllows_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<int>("opened");
    QTest::addColumn<int>("colour");
    QTest::newRow("allowed") << false << false << true << 1 << 0x123456;
    QTest::newRow("refused (no mouse)") << false << false << false << 1 << 0x0000FF;
    QTest::newRow("cancelled") << false << true << true << 1 << 0x0000FF;
    QTest::newRow("read-only") << true << false << true << 0 << 0x0000FF;
}

void ColourSwatchTest::aLevelSwatchTakesAColourOnlyWhenItsOwnerAllows()
{
    QFETCH(bool, readOnly);
    QFETCH(bool, cancelled);
    QFETCH(bool, allowed);
    QFETCH(int, opened);
    QFETCH(int, colour);
    CColorDlg swatch;
    swatch.resize(18, 18);
    swatch.SetTag(3);
    swatch.SetColour(0x0000FF);
    swatch.SetReadOnly(readOnly);
    swatch.show();
    picked_ = cancelled ? std::nullopt : std::optional<int32_t>(0x123456);
    int asked = 0;
    connect(&swatch, &CColorDlg::queryChange, this, [&](int32_t current, int tag, bool* ok) {
        ++asked;
        QCOMPARE(current, 0x0000FF);
        QCOMPARE(tag, 3);
        *ok = allowed;
    });
    QSignalSpy changed(&swatch, &CColorDlg::colourChanged);
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QCOMPARE(opened_, opened);
    if (opened)
        QCOMPARE(startedFrom_, 0x0000FF);
    QCOMPARE(asked, opened && !cancelled ? 1 : 0);
    QCOMPARE(swatch.Colour(), colour);
    QCOMPARE(changed.count(), colour == 0x123456 ? 1 : 0);
    if (!changed.isEmpty())
        QCOMPARE(changed.front().at(1).toInt(), 3);
}

void ColourSwatchTest::theResultSwatchReportsPressesAndPicksOnlyWithItsDialog()
{
    CColorBtnDlg swatch;
    swatch.resize(30, 30);
    swatch.SetTag(5);
    swatch.SetDialogEnabled(false);
    swatch.show();
    QSignalSpy pressed(&swatch, &CColorBtnDlg::pressed);
    QSignalSpy changed(&swatch, &CColorBtnDlg::colourChanged);
    picked_ = 0x00AA00;
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QTest::mouseDClick(&swatch, Qt::LeftButton);
    QCOMPARE(opened_, 0);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!pressed.isEmpty());
    QCOMPARE(pressed.front().at(0).toBool(), true);  // not framed yet
    QCOMPARE(pressed.front().at(1).toInt(), 5);

    swatch.SetFramed(true);
    swatch.SetDialogEnabled(true);
    pressed.clear();
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QTest::mouseDClick(&swatch, Qt::LeftButton);
    QCOMPARE(pressed.front().at(0).toBool(), false);
    QCOMPARE(opened_, 1);
    QCOMPARE(swatch.Colour(), 0x00AA00);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.front().at(0).toInt(), 0x00AA00);

    // Drawn: the colour inset by 2, the frame round the whole swatch.
    const QImage shown = swatch.grab().toImage();
    QCOMPARE(QColor(shown.pixel(15, 15)), QColor(0, 0xAA, 0));
    QCOMPARE(QColor(shown.pixel(0, 0)), QColor(Qt::white));
}

QTEST_MAIN(ColourSwatchTest)
#include "colour_swatch_test.moc"
