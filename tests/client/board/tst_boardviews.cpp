#include "art/artwork.h"
#include "client/board/dartboardpanel.h"
#include "client/board/scoregrid.h"
#include "strictwarnings.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace velmora;

class TestBoardViews : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void dartMarkersAreLiftedAboveTheirHit_data();
    void dartMarkersAreLiftedAboveTheirHit();
    void markersHide();
    void logoClicks();
    void scoreGridDrawsMarks();
    void scoreGridClicks();
};

void TestBoardViews::dartMarkersAreLiftedAboveTheirHit_data()
{
    QTest::addColumn<int>("dart");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("double bull") << 1 << "dBull" << QPoint(110, 111);
    QTest::newRow("bull") << 2 << "Bull" << QPoint(115, 107);
    QTest::newRow("miss") << 3 << "12" << QPoint(74, 53);
    QTest::newRow("fifteen") << 3 << "15" << QPoint(164, 144);
}

void TestBoardViews::dartMarkersAreLiftedAboveTheirHit()
{
    QFETCH(int, dart);
    QFETCH(QString, value);
    QFETCH(QPoint, place);
    DartboardPanel panel;
    panel.show();
    QCOMPARE(panel.objectName(), QString("FlatPanel7"));
    panel.showDart(dart, *DartResult::parse(value.toStdString()));
    auto* marker = panel.findChild<QWidget*>(QString("image_throwndart%1").arg(dart));
    QVERIFY(marker->isVisible());
    QCOMPARE(marker->geometry(), QRect(place, QSize(40, 28)));
}

void TestBoardViews::markersHide()
{
    DartboardPanel panel;
    panel.show();
    for (int d = 1; d <= 3; ++d)
        panel.showDart(d, DartResult::fromSum(17));
    panel.hideMarker(2);
    QVERIFY(!panel.findChild<QWidget*>("image_throwndart2")->isVisible());
    QVERIFY(panel.findChild<QWidget*>("image_throwndart3")->isVisible());
    panel.hideMarkers();
    for (int d = 1; d <= 3; ++d)
        QVERIFY(!panel.findChild<QWidget*>(QString("image_throwndart%1").arg(d))->isVisible());
    panel.showDart(4, DartResult::fromSum(17)); // no fourth dart: nothing shows
    for (int d = 1; d <= 3; ++d)
        QVERIFY(!panel.findChild<QWidget*>(QString("image_throwndart%1").arg(d))->isVisible());
}

void TestBoardViews::logoClicks()
{
    DartboardPanel panel;
    panel.show();
    QSignalSpy spy(&panel, &DartboardPanel::logoClicked);
    QTest::mouseClick(panel.findChild<QWidget*>("image_logo"), Qt::LeftButton);
    QCOMPARE(spy.size(), 1);
}

void TestBoardViews::scoreGridDrawsMarks()
{
    ScoreGrid grid(3);
    QCOMPARE(grid.objectName(), QString("stringgrid_player3"));
    QCOMPARE(grid.size(), QSize(133, 38));
    QCOMPARE(grid.toolTip(), QString("Click to learn how to read the score boards."));
    grid.setMarks({0, 1, 2, 3, 0, 5, -1}); // out-of-range marks are held to 0..3
    QCOMPARE(grid.marks(), (rules::Marks{0, 1, 2, 3, 0, 3, 0}));

    grid.show();
    const QImage shot = grid.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.size(), QSize(133, 38));
    for (int c = 0; c < 7; ++c) {
        const QImage heading = art::scoreHeading(c).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage light = art::scoreLight(grid.marks()[c]).toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.copy(c * 19, 0, 19, 19), heading);
        QCOMPARE(shot.copy(c * 19, 19, 19, 19), light);
    }
}

void TestBoardViews::scoreGridClicks()
{
    ScoreGrid grid(1);
    grid.show();
    QSignalSpy spy(&grid, &ScoreGrid::clicked);
    QTest::mouseClick(&grid, Qt::LeftButton);
    QTest::mouseClick(&grid, Qt::RightButton);
    QCOMPARE(spy.size(), 1);
}

QTEST_MAIN(TestBoardViews)
#include "tst_boardviews.moc"
