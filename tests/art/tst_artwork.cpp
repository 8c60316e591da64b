#include "artwork.h"
#include "strictwarnings.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <functional>

using namespace velmora::art;

namespace {

// Where the thrown-dart marker's tip lands for each dart value, in the
// dartboard panel's coordinates.
struct MarkerPoint {
    int target;
    QPointF at;
};
const MarkerPoint markerPoints[] = {
    {1, {130, 72}},   {2, {148, 178}}, {3, {114, 194}},  {4, {164, 94}},   {5, {90, 72}},    {6, {173, 137}},
    {7, {78, 184}},   {8, {54, 152}},  {9, {58, 96}},    {10, {172, 155}}, {11, {49, 142}},  {12, {74, 81}},
    {13, {171, 120}}, {14, {51, 119}}, {15, {164, 172}}, {16, {62, 168}},  {17, {132, 190}}, {18, {145, 90}},
    {19, {94, 190}},  {20, {113, 72}}, {25, {115, 135}}, {25, {110, 139}},
};

// The pixel of a picture at a logical point, whatever its device pixel ratio.
QColor pixelAt(const QPixmap& pixmap, QPointF logical)
{
    const QImage image = pixmap.toImage();
    const qreal dpr = pixmap.devicePixelRatio();
    return image.pixelColor(int(logical.x() * dpr), int(logical.y() * dpr));
}

bool isGreen(const QColor& c)
{
    return c.alpha() > 0 && c.green() > 120 && c.green() > c.red() + 60 && c.green() > c.blue() + 60;
}

} // namespace

class TestArtwork : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void markerPointsHitTheirOwnTarget_data();
    void markerPointsHitTheirOwnTarget();
    void boardEdgesAndBull();
    void drawnBoardMatchesGeometry();
    void sizesAndPixelRatios_data();
    void sizesAndPixelRatios();
    void picturesAreCached();
    void backgroundIsASmallCompiledInJpeg();
    void backgroundCoversEveryAreaAskedFor();
    void smileysAreDistinct();
    void scoreLightsShowTheirMarks();
    void scoreHeadingsDiffer();
    void thrownDartTipIsBottomLeft();
    void logoRingsEndInsideThePicture();
};

void TestArtwork::markerPointsHitTheirOwnTarget_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<QPointF>("at");
    for (const MarkerPoint& m : markerPoints)
        QTest::addRow("%d at %g,%g", m.target, m.at.x(), m.at.y()) << m.target << m.at;
}

void TestArtwork::markerPointsHitTheirOwnTarget()
{
    QFETCH(int, target);
    QFETCH(QPointF, at);
    // The point and its surroundings: a tip sitting on a wire would look ambiguous.
    for (qreal dx : {-2.0, 0.0, 2.0})
        for (qreal dy : {-2.0, 0.0, 2.0})
            QCOMPARE(dartboardSegmentAt(at + QPointF(dx, dy)), target);
}

void TestArtwork::boardEdgesAndBull()
{
    const QPointF c = dartboardCentre();
    QCOMPARE(dartboardSegmentAt(c), 25);
    QCOMPARE(dartboardSegmentAt(c + QPointF(0, -30)), 20);
    QCOMPARE(dartboardSegmentAt(c + QPointF(30, 0)), 6);
    QCOMPARE(dartboardSegmentAt(c + QPointF(0, 30)), 3);
    QCOMPARE(dartboardSegmentAt(c + QPointF(-30, 0)), 11);
    QCOMPARE(dartboardSegmentAt(c + QPointF(0, -95)), 0); // in the number ring
    QCOMPARE(dartboardSegmentAt(QPointF(0, 0)), 0);
    // The whole board must fit the picture.
    QVERIFY(c.x() - 100 >= dartboardPanelOffsetX && c.x() + 100 <= 229);
    QVERIFY(c.y() - 100 >= 0 && c.y() + 100 <= 246);
}

void TestArtwork::drawnBoardMatchesGeometry()
{
    // Numbers alternate dark and light singles from 20 (dark) clockwise; the
    // picture must show each marker point on its own segment's colour.
    const QList<int> dark = {20, 18, 13, 10, 2, 3, 7, 8, 14, 12};
    for (qreal dpr : {1.0, 2.0}) {
        const QPixmap board = dartboard(dpr);
        for (const MarkerPoint& m : markerPoints) {
            if (m.target == 25)
                continue;
            const QColor c = pixelAt(board, m.at - QPointF(dartboardPanelOffsetX, 0));
            if (dark.contains(m.target))
                QVERIFY2(c.lightness() < 60, qPrintable(QString::number(m.target)));
            else
                QVERIFY2(c.lightness() > 150, qPrintable(QString::number(m.target)));
        }
    }
}

void TestArtwork::sizesAndPixelRatios_data()
{
    using Maker = std::function<QPixmap(qreal)>;
    QTest::addColumn<Maker>("make");
    QTest::addColumn<QSize>("size");
    QTest::addRow("die 0") << Maker([](qreal d) { return dieFace(0, d); }) << QSize(32, 32);
    QTest::addRow("die 6") << Maker([](qreal d) { return dieFace(6, d); }) << QSize(32, 32);
    QTest::addRow("dartboard") << Maker([](qreal d) { return dartboard(d); }) << QSize(228, 246);
    QTest::addRow("thrown dart") << Maker([](qreal d) { return thrownDart(d); }) << QSize(40, 28);
    QTest::addRow("eyes") << Maker([](qreal d) { return eyes(d); }) << QSize(22, 11);
    QTest::addRow("turn marker") << Maker([](qreal d) { return turnMarker(d); }) << QSize(22, 16);
    QTest::addRow("heading B") << Maker([](qreal d) { return scoreHeading(6, d); }) << QSize(19, 19);
    QTest::addRow("light 3") << Maker([](qreal d) { return scoreLight(3, d); }) << QSize(19, 19);
    QTest::addRow("tick box") << Maker([](qreal d) { return tickBox(true, d); }) << QSize(35, 36);
    for (PictureButton b : {PictureButton::ThrowDarts, PictureButton::AutoPlace, PictureButton::StartGame})
        QTest::addRow("button %d", int(b))
            << Maker([b](qreal d) { return pictureButton(b, ButtonState::Pressed, d); }) << pictureButtonSize(b);
    QTest::addRow("smiley 17") << Maker([](qreal d) { return smiley(17, d); }) << QSize(17, 16);
    QTest::addRow("logo") << Maker([](qreal d) { return logo(d); }) << QSize(600 - logoLeft, 241);
    QTest::addRow("about") << Maker([](qreal d) { return aboutPicture(d); }) << QSize(96, 96);
    QTest::addRow("background") << Maker([](qreal d) { return background(d); }) << QSize(800, 600);
}

void TestArtwork::sizesAndPixelRatios()
{
    using Maker = std::function<QPixmap(qreal)>;
    QFETCH(Maker, make);
    QFETCH(QSize, size);
    for (qreal dpr : {1.0, 2.0}) {
        const QPixmap pixmap = make(dpr);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.devicePixelRatio(), dpr);
        QCOMPARE(pixmap.size(), size * dpr);
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(size));
    }
}

void TestArtwork::picturesAreCached()
{
    QCOMPARE(dieFace(3).cacheKey(), dieFace(3).cacheKey());
    QCOMPARE(dartboard(2.0).cacheKey(), dartboard(2.0).cacheKey());
    QVERIFY(dartboard(1.0).cacheKey() != dartboard(2.0).cacheKey());
    QVERIFY(dieFace(3).cacheKey() != dieFace(4).cacheKey());
    // Out-of-range values fall back to a valid picture rather than failing.
    QCOMPARE(dieFace(9).toImage(), dieFace(0).toImage());
}

void TestArtwork::backgroundIsASmallCompiledInJpeg()
{
    QVERIFY(!background().isNull()); // also registers the library's resources
    const QString path = QStringLiteral(":/velmora/pictures/background.jpg");
    QFile file(path);
    QVERIFY(file.exists());
    QVERIFY2(file.size() < 60 * 1024, qPrintable(QString::number(file.size())));
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), QSize(1600, 1200));
    // Dark enough for lime text everywhere.
    for (int y = 0; y < image.height(); y += 50)
        for (int x = 0; x < image.width(); x += 50)
            QVERIFY(image.pixelColor(x, y).lightness() < 50);
}

// Windows draw as much of the background as they show; one copy serves them all.
void TestArtwork::backgroundCoversEveryAreaAskedFor()
{
    const qreal dpr = 1.5; // a ratio no other test has made the picture at
    const QImage small = background(dpr, QSize(100, 60)).toImage();
    QCOMPARE(small.size(), QSize(150, 90));
    const QPixmap wide = background(dpr, QSize(300, 20));
    QCOMPARE(wide.size(), QSize(450, 90));
    QCOMPARE(background(dpr, QSize(50, 50)).cacheKey(), wide.cacheKey());
    QCOMPARE(wide.toImage().copy(small.rect()), small);
    QCOMPARE(background(dpr, QSize(2000, 2000)).deviceIndependentSize(), QSizeF(800, 600));
}

void TestArtwork::smileysAreDistinct()
{
    QList<QImage> images;
    for (int i = 0; i < smileyCount; ++i)
        images << smiley(i, 2.0).toImage();
    for (int i = 0; i < images.size(); ++i)
        for (int j = i + 1; j < images.size(); ++j)
            QVERIFY2(images[i] != images[j], qPrintable(QStringLiteral("%1 and %2").arg(i).arg(j)));
}

void TestArtwork::scoreLightsShowTheirMarks()
{
    for (qreal dpr : {1.0, 2.0}) {
        for (int marks = 0; marks <= 3; ++marks) {
            const QPixmap light = scoreLight(marks, dpr);
            const bool upper = isGreen(pixelAt(light, {10, 5.5}));
            const bool lower = isGreen(pixelAt(light, {10, 13.5}));
            QCOMPARE(upper, marks >= 2);
            QCOMPARE(lower, marks == 1 || marks == 3);
            QVERIFY(pixelAt(light, {0.5, 10}).lightness() > 150); // grey edge
            QCOMPARE(pixelAt(light, {16, 2}), QColor(Qt::black));
        }
    }
}

void TestArtwork::scoreHeadingsDiffer()
{
    for (int i = 0; i < 7; ++i) {
        QVERIFY(isGreen(pixelAt(scoreHeading(i), {2.5, 9.5})));
        for (int j = i + 1; j < 7; ++j)
            QVERIFY(scoreHeading(i).toImage() != scoreHeading(j).toImage());
    }
}

void TestArtwork::thrownDartTipIsBottomLeft()
{
    for (qreal dpr : {1.0, 2.0}) {
        const QPixmap dart = thrownDart(dpr);
        QVERIFY(pixelAt(dart, {1.5, 26.5}).alpha() > 0);
        QCOMPARE(pixelAt(dart, {1, 1}).alpha(), 0);
        QCOMPARE(pixelAt(dart, {38, 26}).alpha(), 0);
    }
}

// The dice panel grows with the window; its background's rings must then end
// where they end, not at a cut.
void TestArtwork::logoRingsEndInsideThePicture()
{
    for (qreal dpr : {1.0, 2.0}) {
        const QImage image = logo(dpr).toImage();
        const auto columnIsClear = [&](int x) {
            for (int y = 0; y < image.height(); ++y) {
                if (qAlpha(image.pixel(x, y)) != 0)
                    return false;
            }
            return true;
        };
        const int physical530 = qRound((530 - logoLeft) * dpr);
        QVERIFY2(!columnIsClear(physical530), "rings reach past the panel's design width");
        QVERIFY2(columnIsClear(image.width() - 1), "rings cut off at the picture's right edge");
        QVERIFY2(columnIsClear(0), "wordmark cut off at the picture's left edge");
    }
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
