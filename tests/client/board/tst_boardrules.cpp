#include "media/soundnames.h"
#include "client/board/boardrules.h"
#include "game/rules.h"
#include "strictwarnings.h"

#include <QTest>

using namespace velmora;
using velmora::rules::Marks;

namespace {

// A dart as the wire names it; text that names no dart reads as an empty one.
DartResult dart(const QString& text)
{
    return DartResult::parse(text.toStdString()).value_or(DartResult());
}

// A random source that always answers its upper bound minus one (or zero) and records what it was asked.
struct FixedRandom {
    explicit FixedRandom(bool high = false)
        : high(high)
    {
    }
    bool high;
    QList<int> asked;
    int operator()(int k)
    {
        asked.append(k);
        return high ? k - 1 : 0;
    }
};

} // namespace

class TestBoardRules : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void postscoreCapsBullsAtThree();
    void postscoreNumbers();
    void postscoreIgnoresEverythingElse_data();
    void postscoreIgnoresEverythingElse();
    void markersAndSounds_data();
    void markersAndSounds();
    void scatterFormulaAndCallOrder();
    void scatterStaysInsideThePanel_data();
    void scatterStaysInsideThePanel();
    void scatterWidensWithThePanel();
    void slotGeometry();
};

void TestBoardRules::postscoreCapsBullsAtThree()
{
    Marks marks{};
    rules::markDart(marks, dart("dBull"));
    QCOMPARE(rules::marksOn(marks, game::kBull), 2); // the light with the upper dot
    rules::markDart(marks, dart("dBull"));
    QCOMPARE(rules::marksOn(marks, game::kBull), 3); // 2 + 2 stops at closed
    marks = {};
    rules::markDart(marks, dart("Bull"));
    rules::markDart(marks, dart("Bull"));
    rules::markDart(marks, dart("Bull"));
    rules::markDart(marks, dart("Bull"));
    QCOMPARE(rules::marksOn(marks, game::kBull), 3);
    QCOMPARE(marks, (Marks{0, 0, 0, 0, 0, 0, 3}));
}

void TestBoardRules::postscoreNumbers()
{
    Marks marks{};
    rules::markDart(marks, dart("15"));
    rules::markDart(marks, dart("20"));
    rules::markDart(marks, dart("20"));
    QCOMPARE(marks, (Marks{1, 0, 0, 0, 0, 2, 0}));
    marks[2] = 3; // 17 closed
    rules::markDart(marks, dart("17"));
    QCOMPARE(marks[2], 3);
}

void TestBoardRules::postscoreIgnoresEverythingElse_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("miss") << "14";
    QTest::newRow("zero") << "0";
    QTest::newRow("above twenty") << "21";
    QTest::newRow("empty") << "";
    QTest::newRow("word") << "seventeen";
}

void TestBoardRules::postscoreIgnoresEverythingElse()
{
    QFETCH(QString, value);
    Marks marks{1, 1, 1, 1, 1, 1, 1};
    rules::markDart(marks, dart(value));
    QCOMPARE(marks, (Marks{1, 1, 1, 1, 1, 1, 1}));
}

void TestBoardRules::markersAndSounds_data()
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

void TestBoardRules::markersAndSounds()
{
    QFETCH(QString, value);
    QFETCH(QPoint, marker);
    QFETCH(QString, sound);
    QCOMPARE(board::markerPosition(dart(value)), marker);
    QCOMPARE(sounds::dartSound(dart(value)), sound);
}

void TestBoardRules::scatterFormulaAndCallOrder()
{
    FixedRandom low;
    // Die 1: column 6, first row 1; at the design size the steps are 45 and 33.
    QCOMPARE(board::scatterPosition(1, {530, 241}, std::ref(low)), QPoint(6 * 45 + 106, 33 - 32));
    QCOMPARE(low.asked, (QList<int>{3, 10, 8}));

    FixedRandom high(true);
    // Die 2: column 4, rows 4..7.
    QCOMPARE(board::scatterPosition(2, {530, 241}, std::ref(high)), QPoint(4 * 45 + 9 + 106, 7 * 33 + 7 - 32));
    QCOMPARE(high.asked, (QList<int>{4, 10, 8}));

    QCOMPARE(board::scatterPosition(0, {530, 241}, std::ref(low)), QPoint());
    QCOMPARE(board::scatterPosition(13, {530, 241}, std::ref(low)), QPoint());
    // A panel narrower than the dart columns: the step truncates toward zero, not down.
    QCOMPARE(board::scatterPosition(1, {165, 241}, std::ref(low)).x(), 106);
}

void TestBoardRules::scatterStaysInsideThePanel_data()
{
    QTest::addColumn<bool>("high");
    QTest::newRow("lowest") << false;
    QTest::newRow("highest") << true;
}

void TestBoardRules::scatterStaysInsideThePanel()
{
    QFETCH(bool, high);
    FixedRandom random(high);
    const QRect panel(0, 0, 530, 241);
    for (int die = 1; die <= game::kDicePerThrow; ++die) {
        const QRect face(board::scatterPosition(die, panel.size(), std::ref(random)), QSize(32, 32));
        QVERIFY2(panel.contains(face), qPrintable(QString("die %1").arg(die)));
        // Right of the dart columns (the third ends at 97 + 32).
        QVERIFY(face.left() > 129);
    }
}

void TestBoardRules::scatterWidensWithThePanel()
{
    FixedRandom random(true);
    const QSize wide(830, 241);
    // Die 6 sits in the last column: 8 steps of (830 - 170) / 8 = 82.
    QCOMPARE(board::scatterPosition(6, wide, std::ref(random)).x(), 8 * 82 + 9 + 106);
    for (int die = 1; die <= game::kDicePerThrow; ++die)
        QVERIFY(
            QRect(QPoint(), wide).contains(QRect(board::scatterPosition(die, wide, std::ref(random)), QSize(32, 32))));
}

void TestBoardRules::slotGeometry()
{
    QCOMPARE(board::slotPosition(1, 1), QPoint(9, 30));
    QCOMPARE(board::slotPosition(2, 3), QPoint(53, 101));
    QCOMPARE(board::slotPosition(3, 4), QPoint(97, 136));
    QCOMPARE(board::slotPosition(0, 1), QPoint());
    QCOMPARE(board::slotPosition(4, 1), QPoint());
    QCOMPARE(board::slotPosition(1, 5), QPoint());
}

QTEST_APPLESS_MAIN(TestBoardRules)
#include "tst_boardrules.moc"
