#include "client/board/boardgeometry.h"
#include "game/constants.h"
#include "media/soundnames.h"
#include "strictwarnings.h"

#include <QTest>

using namespace velmora;

namespace {

// A dart as the wire names it; text that names no dart reads as an empty one.
DartResult dart(const QString& text)
{
    return DartResult::parse(text.toStdString()).value_or(DartResult());
}

// A random source that always answers its upper bound minus one (or zero).
struct FixedRandom {
    explicit FixedRandom(bool high = false)
        : high(high)
    {
    }
    bool high;
    int operator()(int k) const { return high ? k - 1 : 0; }
};

} // namespace

class TestBoardGeometry : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void markersAndSounds_data();
    void markersAndSounds();
    void scatterStaysInsideThePanel_data();
    void scatterStaysInsideThePanel();
};

void TestBoardGeometry::markersAndSounds_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QPoint>("marker");
    QTest::addColumn<QString>("sound");
    // A dart of 24 is reported as "dBull", 21..23 as "Bull".
    QTest::newRow("24") << "dBull" << QPoint(110, 139) << "dbull";
    QTest::newRow("21") << "Bull" << QPoint(115, 135) << "bull";
    QTest::newRow("upper-case") << "DBULL" << QPoint(110, 139) << "dbull";
    QTest::newRow("12") << "12" << QPoint(74, 81) << "miss";
    QTest::newRow("15") << "15" << QPoint(164, 172) << "wav15";
    QTest::newRow("1") << "1" << QPoint(130, 72) << "miss";
    QTest::newRow("20") << "20" << QPoint(113, 72) << "wav20";
    QTest::newRow("0") << "0" << QPoint(115, 135) << "miss";
    QTest::newRow("junk") << "x" << QPoint(115, 135) << "miss";
}

void TestBoardGeometry::markersAndSounds()
{
    QFETCH(QString, value);
    QFETCH(QPoint, marker);
    QFETCH(QString, sound);
    QCOMPARE(board::markerPosition(dart(value)), marker);
    QCOMPARE(sounds::dartSound(dart(value)), sound);
}

void TestBoardGeometry::scatterStaysInsideThePanel_data()
{
    QTest::addColumn<bool>("high");
    QTest::addColumn<int>("width");
    QTest::newRow("lowest") << false << 530;
    QTest::newRow("highest") << true << 530;
    QTest::newRow("highest, wide") << true << 830;
}

void TestBoardGeometry::scatterStaysInsideThePanel()
{
    QFETCH(bool, high);
    QFETCH(int, width);
    FixedRandom random(high);
    const QRect panel(0, 0, width, 241);
    for (int die = 1; die <= game::kDicePerThrow; ++die) {
        const QRect face(board::scatterPosition(die, panel.size(), std::ref(random)), QSize(32, 32));
        QVERIFY2(panel.contains(face), qPrintable(QString("die %1").arg(die)));
        // Right of the dart columns (the third ends at 97 + 32).
        QVERIFY(face.left() > 129);
    }
}

QTEST_APPLESS_MAIN(TestBoardGeometry)
#include "tst_boardgeometry.moc"
