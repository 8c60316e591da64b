// The wire format, the framer, the inbound queue and the socket object.

#include "protocol/framer.h"
#include "protocol/message.h"
#include "protocol/tsock.h"
#include "strictwarnings.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <memory>

using namespace velmora;

namespace {

// Every info a socket reports, as "kind:text" lines, for checking order.
class InfoLog : public QObject {
public:
    explicit InfoLog(TSock& sock)
    {
        connect(&sock, &TSock::info, this,
                [this](SocketInfo kind, const QString& text) { lines << QString::number(int(kind)) + ':' + text; });
        connect(&sock, &TSock::disconnected, this, [this] { lines << QStringLiteral("disconnected"); });
    }
    int count(const QString& line) const { return int(lines.count(line)); }
    QStringList lines;
};

const QString kClosed = QString::number(int(SocketInfo::Close)) + QStringLiteral(":Socket Closed");

QList<QByteArray> feedAll(Framer& framer, const QByteArray& bytes, bool* ok = nullptr)
{
    QList<QByteArray> out;
    const bool result = framer.feed(bytes, [&](QByteArray m) { out << m; });
    if (ok)
        *ok = result;
    return out;
}

// A listener on an ephemeral port with one accepted connection and the
// client socket that made it.
struct Pair {
    TSock listener;
    TSock client;
    TSock* accepted = nullptr;

    bool open()
    {
        listener.setPortName(QStringLiteral("0"));
        listener.setListen(true);
        QObject::connect(&listener, &TSock::acceptPending, &listener, [this] { accepted = *listener.accept(); });
        client.setHostName(QStringLiteral("127.0.0.1"));
        client.setPortName(QString::number(listener.localPort()));
        client.open();
        return QTest::qWaitFor([this] { return accepted != nullptr && client.isConnected(); }, 10000);
    }
};

QByteArray readUntil(TSock& sock, qsizetype size)
{
    QByteArray got;
    [[maybe_unused]] const bool done = QTest::qWaitFor(
        [&] {
            if (sock.isConnected())
                got += *sock.receive();
            return got.size() >= size;
        },
        10000);
    return got;
}

} // namespace

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    // --- building messages ---------------------------------------------------
    void encodeLayout()
    {
        using protocol::encode;
        using protocol::Trailing;
        QCOMPARE(encode("CMD_full"), QByteArray("CMD_full+\xFF"));
        QCOMPARE(encode("CMD_sendlogininfo", {"1"}), QByteArray("CMD_sendlogininfo+1\xFF"));
        QCOMPARE(encode("CMD_startgame", {"1", "n", "1"}, Trailing::Yes), QByteArray("CMD_startgame+1+n+1+\xFF"));
        QCOMPARE(encode("CMD_chat", {"2", "Bob chats: a+b|clRed"}), QByteArray("CMD_chat+2+Bob chats: a+b|clRed\xFF"));
        // Latin-1 on the wire: one byte per character.
        QCOMPARE(encode("CMD_chat", {"1", QStringLiteral("caf\u00e9")}), QByteArray("CMD_chat+1+caf\xE9\xFF"));
    }

    void encodeSanitizesFields()
    {
        const QString nasty = QStringLiteral("a") + QChar(0xFF) + "b\rc\nd" + QChar(0) + "e";
        const QByteArray wire = protocol::encode("CMD_chat", {"1", nasty, QStringLiteral("x\xFFy")});
        QCOMPARE(wire, QByteArray("CMD_chat+1+a b c d e+x y\xFF"));
        // Only the terminator ends the message.
        QCOMPARE(wire.count('\xFF'), 1);
        QVERIFY(!wire.contains('\r') && !wire.contains('\n') && !wire.contains('\0'));
        QCOMPARE(protocol::sanitizeField(QStringLiteral("plain + text|clLime")), QStringLiteral("plain + text|clLime"));
    }

    // --- cutting messages ----------------------------------------------------
    void splitCommandWord()
    {
        CommandLine line = splitCommand(QStringLiteral("CMD_full+"));
        QCOMPARE(line.command, QStringLiteral("CMD_full"));
        QCOMPARE(line.rest, QString());
        line = splitCommand(QStringLiteral("CMD_chat+1+a+b"));
        QCOMPARE(line.command, QStringLiteral("CMD_chat"));
        QCOMPARE(line.rest, QStringLiteral("1+a+b"));
        QVERIFY(splitCommand(QStringLiteral("CMD_full")).command.isEmpty());
        QVERIFY(splitCommand(QString()).command.isEmpty());
    }

    // --- framing ---------------------------------------------------------------
    void framerCutsAtTerminator()
    {
        Framer framer;
        QCOMPARE(feedAll(framer, "CMD_a+1\xFF"
                                 "CMD_b+2\xFF"),
                 (QList<QByteArray>{"CMD_a+1", "CMD_b+2"}));
        // Bare terminators carry no command and are dropped at once.
        QCOMPARE(feedAll(framer, "\xFF\xFF"
                                 "CMD_c+3\xFF\xFF"),
                 (QList<QByteArray>{"CMD_c+3"}));
        QCOMPARE(framer.pending(), 0);
    }

    void framerJoinsSplitMessage()
    {
        Framer framer;
        QCOMPARE(feedAll(framer, "CMD_chat+1+hel"), QList<QByteArray>{});
        QCOMPARE(framer.pending(), 11 + 3);
        QCOMPARE(feedAll(framer, "lo\xFF"
                                 "CMD_x"),
                 QList<QByteArray>{"CMD_chat+1+hello"});
        QCOMPARE(feedAll(framer, "+\xFF"), QList<QByteArray>{"CMD_x+"});
    }

    void framerGivesUpOnEndlessTail()
    {
        Framer framer;
        bool ok = false;
        feedAll(framer, QByteArray(Framer::kMaxPending, 'a'), &ok);
        QVERIFY(ok);
        feedAll(framer, "b", &ok);
        QVERIFY(!ok);
        QCOMPARE(framer.pending(), 0);
        // Messages completed in the same feed still come out.
        Framer other;
        const QList<QByteArray> got = feedAll(other, "CMD_a+\xFF" + QByteArray(Framer::kMaxPending + 1, 'z'), &ok);
        QVERIFY(!ok);
        QCOMPARE(got, QList<QByteArray>{"CMD_a+"});
    }

    // --- the socket object over real TCP --------------------------------------------
    void errorNames()
    {
        QCOMPARE(wsaErrorName(10061), QStringLiteral("WSAECONNREFUSED"));
        QCOMPARE(wsaErrorName(10004), QStringLiteral("WSAEINTR"));
        QCOMPARE(wsaErrorName(11004), QStringLiteral("WSANO_DATA"));
        QCOMPARE(wsaErrorName(42), QStringLiteral("UNKNOWN ERROR"));
    }

    void operationsWithoutSocketFail()
    {
        TSock none;
        QCOMPARE(none.send("x").error(), std::string("Send - Socket Not Connected"));
        QCOMPARE(none.receive().error(), std::string("Receive - Socket Not Connected"));
        QCOMPARE(none.accept().error(), std::string("Accept - Socket Not In Listening Mode"));
    }

    void listenerRefusesSendAndReceive()
    {
        TSock listener;
        listener.setPortName(QStringLiteral("0"));
        InfoLog log(listener);
        listener.setListen(true);
        QVERIFY(listener.isListening());
        QVERIFY(listener.localPort() != 0);
        listener.setListen(true);
        QCOMPARE(log.lines, (QStringList{"3:Listening Started", "3:Listening Already Running"}));
        QCOMPARE(listener.send("x").error(), std::string("Send - Cannot Send On A Listener Socket"));
        QCOMPARE(listener.receive().error(), std::string("Receive - Cannot Receive On A Listener Socket"));

        // The port is taken: a second listener cannot bind it.
        TSock second;
        second.setPortName(QString::number(listener.localPort()));
        QCOMPARE(second.setListen(true).error(), std::string("Listen - Error Binding Socket"));
        QVERIFY(!second.isListening());

        // Closing a listener reports no "Socket Closed".
        listener.close();
        QVERIFY(!listener.isListening());
        QCOMPARE(log.count(kClosed), 0);
    }

    void refusedConnectionReportsError()
    {
        // A port nobody listens on: take a free one and give it back.
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        TSock client;
        InfoLog log(client);
        QSignalSpy connected(&client, &TSock::connected);
        client.setHostName(QStringLiteral("127.0.0.1"));
        client.setPortName(QString::number(port));
        QCOMPARE(*client.open(), false);
        QTRY_VERIFY_WITH_TIMEOUT(log.lines.contains("7:Error #10061 (WSAECONNREFUSED)"), 10000);
        QCOMPARE(connected.count(), 0);
        QVERIFY(!client.isConnected());
        QCOMPARE(log.count(kClosed), 0);
        QCOMPARE(log.lines.first(), QStringLiteral("0:Lookup Of Port ") + QString::number(port));
        QCOMPARE(log.lines.at(1), QStringLiteral("0:Lookup Of Host 127.0.0.1"));
    }

    void badPortName()
    {
        TSock client;
        client.setPortName(QStringLiteral("telnetish"));
        QCOMPARE(client.open().error(), std::string("Port Lookup - Could Not Find Service Entry"));
    }

    void bytesTravelBothWaysInOrder()
    {
        Pair pair;
        // Sent while the connection is still being made: kept and sent later.
        pair.listener.setPortName(QStringLiteral("0"));
        pair.listener.setListen(true);
        QObject::connect(&pair.listener, &TSock::acceptPending, &pair.listener,
                         [&] { pair.accepted = *pair.listener.accept(); });
        pair.client.setHostName(QStringLiteral("127.0.0.1"));
        pair.client.setPortName(QString::number(pair.listener.localPort()));
        QSignalSpy connected(&pair.client, &TSock::connected);
        pair.client.open();
        QVERIFY(!pair.client.isConnected());
        pair.client.send("early\xFF");
        QVERIFY(connected.wait(10000) || connected.count() == 1);
        QTRY_VERIFY_WITH_TIMEOUT(pair.accepted != nullptr, 10000);
        QVERIFY(pair.accepted->isConnected());
        QCOMPARE(pair.accepted->hostName(), QStringLiteral("127.0.0.1"));
        QCOMPARE(pair.accepted->portName(), pair.listener.portName());
        QCOMPARE(*pair.client.open(), true); // already open: only reports the flag

        for (int i = 0; i < 100; ++i)
            pair.client.send("m" + QByteArray::number(i) + '\xFF');
        QByteArray expected = "early\xFF";
        for (int i = 0; i < 100; ++i)
            expected += "m" + QByteArray::number(i) + '\xFF';
        QCOMPARE(readUntil(*pair.accepted, expected.size()), expected);

        pair.accepted->send("back\xFF");
        QCOMPARE(readUntil(pair.client, 5), QByteArray("back\xFF"));
    }

    void closeReportsSocketClosedAndDeliversLastBytes()
    {
        Pair pair;
        QVERIFY(pair.open());
        InfoLog serverLog(*pair.accepted);
        InfoLog clientLog(pair.client);

        // The host's refusal: send, close at once; the peer still gets it all.
        pair.accepted->send("CMD_full+\xFF");
        pair.accepted->close();
        QVERIFY(!pair.accepted->isConnected());
        QCOMPARE(serverLog.count(kClosed), 1);
        QCOMPARE(serverLog.count("disconnected"), 0);
        QCOMPARE(readUntil(pair.client, 10), QByteArray("CMD_full+\xFF"));

        // The peer of the closed side sees its connection go: disconnected, then one close report.
        QTRY_COMPARE_WITH_TIMEOUT(clientLog.count(kClosed), 1, 10000);
        QCOMPARE(clientLog.lines.indexOf("disconnected") + 1, clientLog.lines.indexOf(kClosed));
        QVERIFY(!pair.client.isConnected());

        // Closing again still reports, and never throws.
        pair.accepted->close();
        QCOMPARE(serverLog.count(kClosed), 2);
    }

    void peerCloseRaisesDisconnectedThenClosed()
    {
        Pair pair;
        QVERIFY(pair.open());
        InfoLog log(*pair.accepted);
        pair.client.close();
        QTRY_COMPARE_WITH_TIMEOUT(log.count(kClosed), 1, 10000);
        QCOMPARE(log.count("disconnected"), 1);
        QVERIFY(log.lines.indexOf("disconnected") < log.lines.indexOf(kClosed));
        QVERIFY(!pair.accepted->isConnected());
    }

    void peerAbortIsADeparture()
    {
        Pair pair;
        QVERIFY(pair.open());
        InfoLog log(*pair.accepted);
        // A peer that resets rather than closing in order leaves all the same.
        QTcpSocket raw;
        raw.connectToHost(QHostAddress::LocalHost, pair.listener.localPort());
        TSock* second = nullptr;
        QObject::disconnect(&pair.listener, &TSock::acceptPending, nullptr, nullptr);
        QObject::connect(&pair.listener, &TSock::acceptPending, &pair.listener,
                         [&] { second = *pair.listener.accept(); });
        QTRY_VERIFY_WITH_TIMEOUT(second != nullptr, 10000);
        InfoLog secondLog(*second);
        raw.abort();
        QTRY_VERIFY_WITH_TIMEOUT(secondLog.count(kClosed) >= 1, 10000);
        QCOMPARE(secondLog.count("disconnected"), 1);
        QCOMPARE(log.count(kClosed), 0); // the other connection is untouched
    }

    void dropConnectionHandsOverAsDeparture()
    {
        Pair pair;
        QVERIFY(pair.open());
        InfoLog log(*pair.accepted);
        pair.accepted->dropConnection();
        QCOMPARE(log.lines.size(), 0); // nothing happens inside the call
        QTRY_COMPARE_WITH_TIMEOUT(log.count(kClosed), 1, 10000);
        QCOMPARE(log.lines.indexOf("disconnected"), log.lines.indexOf(kClosed) - 1);
        QVERIFY(!pair.accepted->isConnected());
        // The peer sees the connection go.
        QTRY_VERIFY_WITH_TIMEOUT(!pair.client.isConnected(), 10000);
    }

    // --- why a connection ended ---------------------------------------------------

    void departureIsReportedOnceWithItsReason()
    {
        const QList<CloseReason> byPeer = {CloseReason::ClosedByPeer};
        Pair peerClose;
        QVERIFY(peerClose.open());
        const auto closed = reasons(*peerClose.accepted);
        peerClose.client.close();
        QTRY_COMPARE_WITH_TIMEOUT(*closed, byPeer, 10000);

        // A reset reads like a close: Qt tells the two apart no further.
        Pair pair;
        QVERIFY(pair.open());
        const auto first = reasons(*pair.accepted);
        TSock* second = nullptr;
        QObject::disconnect(&pair.listener, &TSock::acceptPending, nullptr, nullptr);
        QObject::connect(&pair.listener, &TSock::acceptPending, &pair.listener,
                         [&] { second = *pair.listener.accept(); });
        QTcpSocket raw;
        raw.connectToHost(QHostAddress::LocalHost, pair.listener.localPort());
        QTRY_VERIFY_WITH_TIMEOUT(second != nullptr, 10000);
        const auto reset = reasons(*second);
        raw.abort();
        QTRY_COMPARE_WITH_TIMEOUT(*reset, byPeer, 10000);
        QVERIFY(first->isEmpty());

        // Closed on this side (a kick): once, however often close() is called.
        pair.accepted->close();
        pair.accepted->close();
        QCOMPARE(*first, QList<CloseReason>{CloseReason::ClosedHere});
    }

    void givingUpOnAPeerSaysWhy()
    {
        Pair broken;
        QVERIFY(broken.open());
        const auto framing = reasons(*broken.accepted);
        broken.accepted->dropConnection();
        QVERIFY(framing->isEmpty()); // from the event loop, never inside the call
        QTRY_COMPARE_WITH_TIMEOUT(*framing, QList<CloseReason>{CloseReason::FramingBroken}, 10000);

        // A peer that reads nothing while far more than the bound waits for it.
        Pair stalled;
        QVERIFY(stalled.open());
        const auto overflow = reasons(*stalled.accepted);
        stalled.accepted->setOutputLimit(1024);
        stalled.accepted->send(QByteArray(24 * 1024 * 1024, 'x'));
        QTRY_COMPARE_WITH_TIMEOUT(*overflow, QList<CloseReason>{CloseReason::OutputBoundExceeded}, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!stalled.client.isConnected(), 10000);

        // A connection that never came about reports no departure.
        TSock never;
        const auto none = reasons(never);
        never.setPortName(QStringLiteral("1"));
        never.open();
        never.close();
        QVERIFY(none->isEmpty());
    }

private:
    // Every departure a socket reports, in order.
    static std::shared_ptr<QList<CloseReason>> reasons(TSock& sock)
    {
        auto seen = std::make_shared<QList<CloseReason>>();
        QObject::connect(&sock, &TSock::connectionClosed, &sock, [seen](CloseReason r) { *seen << r; });
        return seen;
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
