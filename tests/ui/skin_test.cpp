// Picture operations, the picture cache, window shapes and the 4K rule.
#include "app/geometry.h"
#include "app/log.h"
#include "app/paths.h"
#include "skin/display_scale.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_loader.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

using namespace zorvan;

class SkinTest : public QObject {
    Q_OBJECT
private slots:
    void shapeCutsKeyColourWithinTolerance_data();
    void shapeCutsKeyColourWithinTolerance();
    void cropFillsOutsideWithBlack();
    void areaSharesOpaquePixels_data();
    void areaSharesOpaquePixels();
    void scaleDoublesPixelsNearestNeighbour();
    void aPictureForQtsScalingIsMeasuredInItsOwnSize();
    void cacheDecodesEachPictureOnce();
    void cacheForgetsOnlyPicturesNobodyHolds();
    void theDoubledSkinTakesItsOwnPictureWhereItHasOne_data();
    void theDoubledSkinTakesItsOwnPictureWhereItHasOne();
    void fourKRule_data();
    void fourKRule();
};

void SkinTest::shapeCutsKeyColourWithinTolerance_data()
{
    QTest::addColumn<QColor>("pixel");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<bool>("kept");
    QTest::newRow("pure green, dialog") << QColor(0, 255, 0) << kDialogShapeTolerance << false;
    QTest::newRow("0,250,0, dialog") << QColor(0, 250, 0) << kDialogShapeTolerance << true;
    QTest::newRow("pure green, main window") << QColor(0, 255, 0) << kMainWindowShapeTolerance << false;
    QTest::newRow("0,250,0, main window") << QColor(0, 250, 0) << kMainWindowShapeTolerance << false;
    QTest::newRow("10,245,10, main window") << QColor(10, 245, 10) << kMainWindowShapeTolerance << false;
    QTest::newRow("11,255,0, main window") << QColor(11, 255, 0) << kMainWindowShapeTolerance << true;
    QTest::newRow("transparent") << QColor(0, 0, 0, 0) << kDialogShapeTolerance << false;
    QTest::newRow("dark body") << QColor(17, 20, 25) << kMainWindowShapeTolerance << true;
}

void SkinTest::shapeCutsKeyColourWithinTolerance()
{
    QFETCH(QColor, pixel);
    QFETCH(int, tolerance);
    QFETCH(bool, kept);
    // A 6 x 3 body with the tested colour in the corners and one run in the middle row.
    QImage picture(6, 3, QImage::Format_ARGB32);
    picture.fill(QColor(17, 20, 25));
    for (QPoint corner : {QPoint(0, 0), QPoint(5, 0), QPoint(0, 2), QPoint(5, 2), QPoint(2, 1)})
        picture.setPixelColor(corner, pixel);
    const QRegion shape = ShapeFromPicture(picture, Rgb(0, 255, 0), tolerance);
    for (QPoint corner : {QPoint(0, 0), QPoint(5, 0), QPoint(0, 2), QPoint(5, 2), QPoint(2, 1)})
        QCOMPARE(shape.contains(corner), kept);
    QVERIFY(shape.contains(QPoint(1, 0)));
    QVERIFY(shape.contains(QPoint(3, 1)));
    QCOMPARE(shape.boundingRect(), QRect(0, 0, 6, 3));
}

void SkinTest::cropFillsOutsideWithBlack()
{
    QImage source(4, 4, QImage::Format_ARGB32);
    source.fill(QColor(200, 10, 10));
    source.setPixelColor(3, 2, QColor(200, 100, 0, 128));
    source.setPixelColor(3, 3, QColor(0, 0, 0, 0));
    const QImage piece = CropPicture(source, QRect(2, 1, 4, 4));
    QCOMPARE(piece.size(), QSize(4, 4));
    QCOMPARE(piece.pixelColor(0, 0), QColor(200, 10, 10));
    QCOMPARE(piece.pixelColor(3, 3), QColor(Qt::black));
    // What the source does not cover shows the black it was drawn over.
    QCOMPARE(piece.pixelColor(1, 1).rgba(), qRgb(100, 50, 0));
    QCOMPARE(piece.pixelColor(1, 2).rgba(), qRgb(0, 0, 0));
    // The same as drawing the source over black.
    QImage drawn(4, 4, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::black);
    QPainter(&drawn).drawImage(QPoint(0, 0), source, QRect(2, 1, 4, 4));
    QCOMPARE(piece, drawn);
}

void SkinTest::areaSharesOpaquePixels_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("transparentPixel");
    QTest::addColumn<bool>("shared");
    QTest::newRow("opaque, inside") << QRect(1, 1, 3, 2) << false << true;
    QTest::newRow("a transparent pixel inside") << QRect(1, 1, 3, 2) << true << false;
    QTest::newRow("partly outside") << QRect(2, 2, 4, 4) << false << false;
}

void SkinTest::areaSharesOpaquePixels()
{
    QFETCH(QRect, rect);
    QFETCH(bool, transparentPixel);
    QFETCH(bool, shared);
    QImage source(5, 4, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            source.setPixelColor(x, y, QColor(40 * x, 50 * y, 7));
    if (transparentPixel)
        source.setPixelColor(2, 2, QColor(200, 0, 0, 100));
    const QImage area = PictureArea(source, rect);
    QCOMPARE(area, CropPicture(source, rect));
    const uchar* start = source.constBits() + rect.top() * source.bytesPerLine() + rect.left() * 4;
    QCOMPARE(area.constBits() == start, shared);
}

void SkinTest::scaleDoublesPixelsNearestNeighbour()
{
    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixelColor(0, 0, QColor(255, 0, 0));
    source.setPixelColor(1, 0, QColor(0, 0, 255));
    const QImage scaled = ScalePicture(source, 2.0);
    QCOMPARE(scaled.size(), QSize(4, 2));
    QCOMPARE(scaled.format(), QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y) {
        QCOMPARE(scaled.pixelColor(1, y), QColor(255, 0, 0));
        QCOMPARE(scaled.pixelColor(2, y), QColor(0, 0, 255));
    }
}

void SkinTest::aPictureForQtsScalingIsMeasuredInItsOwnSize()
{
    // 4 x 3 device-independent pixels in 8 x 6 picture pixels, each of its own colour; the
    // first column has the key colour.
    QImage source(8, 6, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            source.setPixel(x, y, x < 2 ? qRgb(0, 255, 0) : qRgb(x * 30, y * 40, 100));
    source.setDevicePixelRatio(2.0);
    QCOMPARE(SkinSize(source), QSize(4, 3));

    const QImage area = PictureArea(source, QRect(1, 1, 2, 2));
    QCOMPARE(area.size(), QSize(4, 4));
    QCOMPARE(area.devicePixelRatio(), 2.0);
    QCOMPARE(area.pixel(0, 0), source.pixel(2, 2));
    QCOMPARE(area.pixel(3, 3), source.pixel(5, 5));
    QCOMPARE(area.constBits(), source.constBits() + 2 * source.bytesPerLine() + 2 * 4);

    const QImage crop = CropPicture(source, QRect(3, 2, 2, 2));
    QCOMPARE(crop.size(), QSize(4, 4));
    QCOMPARE(crop.devicePixelRatio(), 2.0);
    QCOMPARE(crop.pixel(1, 1), source.pixel(7, 5));
    QCOMPARE(crop.pixel(2, 0), qRgb(0, 0, 0));

    const QRegion shape = ShapeFromPicture(source, Rgb(0, 255, 0), kDialogShapeTolerance);
    QCOMPARE(shape.boundingRect(), QRect(1, 0, 3, 3));
    QVERIFY(shape.xored(QRegion(1, 0, 3, 3)).isEmpty());
}

namespace {

// A 4 x 2 picture file in `dir`.
QString WritePicture(const QTemporaryDir& dir, const QString& name)
{
    QImage picture(4, 2, QImage::Format_ARGB32);
    picture.fill(QColor(10, 20, 30, 128));
    const QString path = dir.filePath(name);
    picture.save(path);
    return path;
}

}  // namespace

void SkinTest::cacheDecodesEachPictureOnce()
{
    QTemporaryDir dir;
    const QString path = WritePicture(dir, QStringLiteral("key_nr.png"));
    const int before = PictureDecodeCount();
    const QImage first = LoadPicture(path);
    const QImage second = LoadPicture(path);
    const QImage doubled = LoadPicture(path, 2.0);
    const QImage doubledAgain = LoadPicture(path, 2.0);
    QCOMPARE(PictureDecodeCount(), before + 1);
    QCOMPARE(first.constBits(), second.constBits());
    QCOMPARE(doubled.constBits(), doubledAgain.constBits());
    QCOMPARE(first.size(), QSize(4, 2));
    QCOMPARE(doubled.size(), QSize(8, 4));
    QCOMPARE(first.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(first.pixelColor(1, 1).rgba(), qRgba(10, 20, 30, 128));
    QCOMPARE(doubled.pixelColor(7, 3).alpha(), 128);
    // A missing file is no picture, and trying again reads the folder again.
    QVERIFY(LoadPicture(dir.filePath(QStringLiteral("absent.png"))).isNull());
    WritePicture(dir, QStringLiteral("absent.png"));
    QVERIFY(!LoadPicture(dir.filePath(QStringLiteral("absent.png"))).isNull());
}

void SkinTest::cacheForgetsOnlyPicturesNobodyHolds()
{
    QTemporaryDir dir;
    const QString kept = WritePicture(dir, QStringLiteral("navi1_nr.png"));
    const QString source = WritePicture(dir, QStringLiteral("adv_nr.png"));
    const QImage held = LoadPicture(kept);
    LoadPicture(source);  // a page background only cropped from, say
    const int before = PictureDecodeCount();
    ReleaseUnusedPictures();
    QCOMPARE(LoadPicture(kept).constBits(), held.constBits());
    QCOMPARE(PictureDecodeCount(), before);
    LoadPicture(source);
    QCOMPARE(PictureDecodeCount(), before + 1);
}

void SkinTest::theDoubledSkinTakesItsOwnPictureWhereItHasOne_data()
{
    QTest::addColumn<bool>("fourK");
    QTest::addColumn<double>("qtScale");      // the screen's device pixel ratio
    QTest::addColumn<QString>("doubleFile");  // what "check_nr@2x.png" holds
    QTest::addColumn<QSize>("size");          // in device-independent pixels
    QTest::addColumn<double>("ratio");        // the picture's device pixel ratio
    QTest::addColumn<bool>("fromDoubleFile");
    QTest::newRow("4K, double-size picture") << true << 1.0 << "picture" << QSize(6, 4) << 1.0 << true;
    QTest::newRow("4K, normal size only") << true << 1.0 << "" << QSize(6, 4) << 1.0 << false;
    QTest::newRow("4K, double-size file no picture") << true << 1.0 << "text" << QSize(6, 4) << 1.0 << false;
    QTest::newRow("normal size, double-size beside") << false << 1.0 << "picture" << QSize(3, 2) << 1.0 << false;
    QTest::newRow("Qt scales by 2, double-size picture") << false << 2.0 << "picture" << QSize(3, 2) << 2.0 << true;
    QTest::newRow("Qt scales by 1.5, normal size only") << false << 1.5 << "" << QSize(3, 2) << 2.0 << false;
    QTest::newRow("Qt scales by 2 in 4K") << true << 2.0 << "picture" << QSize(6, 4) << 1.0 << true;
}

void SkinTest::theDoubledSkinTakesItsOwnPictureWhereItHasOne()
{
    QFETCH(bool, fourK);
    QFETCH(double, qtScale);
    QFETCH(QString, doubleFile);
    QFETCH(QSize, size);
    QFETCH(double, ratio);
    QFETCH(bool, fromDoubleFile);
    // A skin folder of its own per row, so the cache holds none of its pictures yet.
    QTemporaryDir app;
    QDir(app.path()).mkpath(QStringLiteral("skins"));
    const QString skins = app.filePath(QStringLiteral("skins/"));
    // The normal-size picture is one colour; the double-size one a checkerboard that no
    // enlargement of it gives.
    QImage normal(3, 2, QImage::Format_ARGB32_Premultiplied);
    normal.fill(QColor(200, 40, 40));
    QVERIFY(normal.save(skins + QStringLiteral("check_nr.png")));
    QImage doubled(6, 4, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            doubled.setPixelColor(x, y, (x + y) % 2 ? QColor(20, 20, 220) : QColor(240, 240, 240));
    const QString doublePath = skins + QStringLiteral("check_nr@2x.png");
    if (doubleFile == QLatin1String("picture")) {
        QVERIFY(doubled.save(doublePath));
    } else if (doubleFile == QLatin1String("text")) {
        QFile text(doublePath);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
    }
    const QString appDir = Paths().appDir;
    Paths().appDir = app.path() + QLatin1Char('/');
    SetFourK(fourK);
    DecidePictureRatio(qtScale);
    const int before = PictureDecodeCount();
    const auto pictures = LoadSkinPictures(SkinLoader::kPngButton, {QStringLiteral("check_nr.png")});
    SetFourK(false);
    SetPictureRatio(1.0);
    Paths().appDir = appDir;

    QVERIFY(pictures.has_value());
    QImage picture = pictures->front();
    QCOMPARE(SkinSize(picture), size);
    // 4K doubles the window's pixels, Qt's scaling the screen's (Qt's reader would mark every
    // "@2x" file for the latter).
    QCOMPARE(picture.devicePixelRatio(), ratio);
    QCOMPARE(picture.format(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(1.0);
    const bool enlarged = fourK || ratio == 2.0;
    const QImage expected = fromDoubleFile ? doubled
                            : enlarged     ? ScalePicture(normal, 2.0).convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                           : normal;
    QCOMPARE(picture, expected);
    // One file decoded: with a double-size picture the normal-size one is never read.
    QCOMPARE(PictureDecodeCount() - before, 1);
}

void SkinTest::fourKRule_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("fourK");
    QTest::addColumn<bool>("tooSmallLogged");
    QTest::newRow("3840x2160") << QSize(3840, 2160) << true << false;
    QTest::newRow("3840x1200") << QSize(3840, 1200) << false << true;
    QTest::newRow("3500x1451") << QSize(3500, 1451) << true << false;
    QTest::newRow("3500x1450") << QSize(3500, 1450) << false << true;
    QTest::newRow("3499x2160") << QSize(3499, 2160) << false << false;
    QTest::newRow("1920x1080") << QSize(1920, 1080) << false << false;
}

void SkinTest::fourKRule()
{
    QFETCH(QSize, screen);
    QFETCH(bool, fourK);
    QFETCH(bool, tooSmallLogged);
    std::vector<std::string> lines;
    InitLog(1, QString());
    SetDebugOutput([&lines](const std::string& line) { lines.push_back(line); });
    QCOMPARE(DecideFourK(screen), fourK);
    QCOMPARE(IsFourK(), fourK);
    QCOMPARE(Scaled(10), fourK ? 20 : 10);
    SetDebugOutput({});
    ResetLog();
    SetFourK(false);
    bool logged = false;
    for (const std::string& line : lines)
        logged = logged || line.find("Screen size too small, not set 4K flag") != std::string::npos;
    QCOMPARE(logged, tooSmallLogged);
    QVERIFY(!lines.empty() && lines.front().find("xScreen=") != std::string::npos);
}

QTEST_MAIN(SkinTest)
#include "skin_test.moc"
