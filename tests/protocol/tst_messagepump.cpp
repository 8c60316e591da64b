// The inbound queue: one message per tick, each connection in turn, every
// connection's queue bounded.

#include "protocol/message.h"
#include "protocol/messagepump.h"
#include "strictwarnings.h"

#include <QtTest>
#include <stdexcept>

using namespace velmora;

class TestMessagePump : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    // --- the inbound queue -------------------------------------------------
    void pumpTakesOnePerTickInOrder()
    {
        QStringList handled;
        QList<quint64> sources;
        MessagePump pump(1, [&](const InboundMessage& m) {
            handled << m.text;
            sources << m.source;
        });
        QVERIFY(pump.push("CMD_a+1", 7));
        QVERIFY(pump.push("CMD_b+2", 8));
        QVERIFY(pump.push("", 9));
        QCOMPARE(pump.size(), 3);
        QCOMPARE(handled.size(), 0); // nothing runs inside push
        QTRY_COMPARE_WITH_TIMEOUT(handled.size(), 3, 10000);
        QCOMPARE(handled, (QStringList{"CMD_a+1", "CMD_b+2", ""}));
        QCOMPARE(sources, (QList<quint64>{7, 8, 9}));
        QCOMPARE(pump.size(), 0);
    }

    void pumpOneMessagePerTick()
    {
        QList<qsizetype> leftAtEachTick;
        MessagePump* pumpPtr = nullptr;
        MessagePump pump(1, [&](const InboundMessage&) { leftAtEachTick << pumpPtr->size(); });
        pumpPtr = &pump;
        for (int i = 0; i < 4; ++i)
            QVERIFY(pump.push("CMD_x+"));
        QTRY_COMPARE_WITH_TIMEOUT(leftAtEachTick.size(), 4, 10000);
        QCOMPARE(leftAtEachTick, (QList<qsizetype>{3, 2, 1, 0}));
    }

    void pumpCutsLongEntries()
    {
        QString got;
        MessagePump pump(1, [&](const InboundMessage& m) { got = m.text; });
        QVERIFY(pump.push("CMD_chat+1+" + QByteArray(5000 - 11, 'x')));
        QTRY_VERIFY_WITH_TIMEOUT(!got.isEmpty(), 10000);
        QCOMPARE(got.size(), protocol::kMaxEntryLength);
        QVERIFY(got.startsWith(QStringLiteral("CMD_chat+1+xxx")));
    }

    void pumpSurvivesThrowingHandler()
    {
        QStringList handled;
        MessagePump pump(1, [&](const InboundMessage& m) {
            handled << m.text;
            if (m.text == QLatin1String("bad"))
                throw std::runtime_error("boom");
        });
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("boom"));
        QVERIFY(pump.push("bad"));
        QVERIFY(pump.push("good"));
        QTRY_COMPARE_WITH_TIMEOUT(handled.size(), 2, 10000);
        QCOMPARE(handled.last(), QStringLiteral("good"));
    }

    void pumpTakesConnectionsInTurnWithinBounds()
    {
        // A flooding connection (1) does not hold back the others: after its
        // first message each other connection is served in turn.
        QList<quint64> order;
        MessagePump pump(1, [&](const InboundMessage& m) { order << m.source; });
        for (int i = 0; i < 3000; ++i)
            QVERIFY(pump.push("CMD_chat+5+spam", 1));
        QVERIFY(pump.push("CMD_throwdarts+2", 2));
        QVERIFY(pump.push("CMD_placedice+3+1+1+1", 3));
        QTRY_VERIFY_WITH_TIMEOUT(order.size() >= 4, 10000);
        QCOMPARE(order.mid(0, 4), (QList<quint64>{1, 2, 3, 1}));

        // A departed connection's messages are gone at once.
        pump.discard(1);
        QCOMPARE(pump.size(1), 0);
        QCOMPARE(pump.size(), 0);

        // A connection past its bound is refused, the others are not.
        int accepted = 0;
        while (pump.push("CMD_x+", 4) && accepted <= MessagePump::kMaxQueuedMessages)
            ++accepted;
        QCOMPARE(accepted, MessagePump::kMaxQueuedMessages);
        QVERIFY(pump.push("CMD_x+", 5));
        QVERIFY(!pump.push(QByteArray(100, 'y'), 4));
        pump.discard(4);
        const QByteArray big(protocol::kMaxEntryLength, 'z');
        int bigAccepted = 0;
        while (pump.push(big, 6))
            ++bigAccepted;
        QCOMPARE(bigAccepted, int(MessagePump::kMaxQueuedBytes / big.size()));
    }

    void pumpTickHook()
    {
        int ticks = 0;
        MessagePump pump(1, [](const InboundMessage&) {});
        pump.setTickHook([&] { ++ticks; });
        pump.setKeepTicking(true);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 10000);
        pump.setKeepTicking(false);
    }
};

QTEST_GUILESS_MAIN(TestMessagePump)
#include "tst_messagepump.moc"
