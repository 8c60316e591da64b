// A game's TXT record: what a host announces, and what a lobby makes of
// records that lie.

#include "network/gamerecord.h"
#include "strictwarnings.h"

#include <QTest>

using namespace velmora::net;

class TestGameRecord : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }

    void readsWhatIsAnnounced()
    {
        const GameRecord announced{"2.0.17", "Ann's game", 3, 5, true, "Ann"};
        const auto read = decodeRecord(encodeRecord(announced), "whatever");
        QVERIFY(read.ok());
        QCOMPARE(read.value().record, announced);
        QVERIFY(read.value().note.isEmpty());
    }

    void clampsOrRefusesHostileValues_data()
    {
        QTest::addColumn<QList<QByteArray>>("items");
        QTest::addColumn<QString>("title"); // empty: refused
        QTest::addColumn<int>("players");
        QTest::addColumn<QString>("reason");
        const QByteArray good = "version=2.0.17";
        QTest::newRow("negative count") << QList<QByteArray>{good, "players=-3", "spectators=0", "state=waiting"}
                                        << "Inst" << 0 << "It claims -3 players.";
        QTest::newRow("too many") << QList<QByteArray>{good, "players=400", "spectators=99", "state=playing"} << "Inst"
                                  << 4 << "It claims 400 players. It claims 99 spectators.";
        QTest::newRow("long title") << QList<QByteArray>{good, "title=" + QByteArray(240, 'x'), "players=1",
                                                         "spectators=0", "state=waiting"}
                                    << QString(kMaxTitle, u'x') << 1 << "Its title was cut.";
        QTest::newRow("control characters in title")
            << QList<QByteArray>{good, "title=a\x1b[2Jb\nc\xe2\x80\xae", "players=1", "spectators=0", "state=waiting"}
            << "a [2Jb c" << 1 << "";
        QTest::newRow("hostile host name") << QList<QByteArray>{good, "host=\x1b]0;x\x07" + QByteArray(200, 'h'),
                                                                "players=1", "spectators=0", "state=waiting"}
                                           << "Inst" << 1 << "Its host's name was cut.";
        QTest::newRow("first of a key counts, keys in any case")
            << QList<QByteArray>{"VERSION=2.0.17", "Players=2", "players=9", "spectators=0", "state=waiting"} << "Inst"
            << 2 << "";
        QTest::newRow("no version") << QList<QByteArray>{"players=1", "spectators=0", "state=waiting"} << "" << 0
                                    << "which version";
        QTest::newRow("version with controls")
            << QList<QByteArray>{"version=2.0\x01", "players=1", "spectators=0", "state=waiting"} << "" << 0
            << "which version";
        QTest::newRow("players not a number") << QList<QByteArray>{good, "players=two", "spectators=0", "state=waiting"}
                                              << "" << 0 << "no number of players";
        QTest::newRow("overflowing number")
            << QList<QByteArray>{good, "players=99999999999999999999", "spectators=0", "state=waiting"} << "" << 0
            << "no number of players";
        QTest::newRow("unknown state") << QList<QByteArray>{good, "players=1", "spectators=0", "state=rm -rf"} << ""
                                       << 0 << "waiting or playing";
    }
    void clampsOrRefusesHostileValues()
    {
        QFETCH(QList<QByteArray>, items);
        QFETCH(QString, title);
        QFETCH(int, players);
        QFETCH(QString, reason);
        const auto read = decodeRecord(items, "Inst");
        if (title.isEmpty()) {
            QVERIFY(!read.ok());
            QVERIFY2(QString::fromStdString(read.error()).contains(reason), read.error().c_str());
            return;
        }
        QVERIFY(read.ok());
        QCOMPARE(read.value().record.title, title);
        QCOMPARE(read.value().record.players, players);
        QCOMPARE(read.value().note, reason);
        QVERIFY(read.value().record.spectators >= 0 && read.value().record.spectators <= 5);
    }
};

QTEST_GUILESS_MAIN(TestGameRecord)
#include "tst_gamerecord.moc"
