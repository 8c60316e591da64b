#pragma once

// A scripted game client for host tests: a plain QTcpSocket that frames what
// it receives at the terminator byte and waits for messages with bounded
// timeouts, spinning the event loop so an in-process host keeps running.

#include <QByteArray>
#include <QHostAddress>
#include <QStringList>
#include <QTcpSocket>
#include <QtTest>
#include <functional>

namespace velmora::test {

// Generous: the machine running the tests may be busy.
inline constexpr int kWaitMs = 15000;
// What next() returns when nothing arrives in time; shows up in a failed comparison.
inline const QString kTimedOut = QStringLiteral("<nothing arrived>");

class TestClient {
public:
    TestClient()
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { readSome(); });
    }

    bool connectTo(quint16 port)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        return QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, kWaitMs);
    }

    // Raw bytes, exactly as given.
    void sendRaw(const QByteArray& bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }
    // One message: the text and the terminator, in one write.
    void send(const QString& text) { sendRaw(text.toLatin1() + '\xFF'); }

    // The next message (terminator removed), or kTimedOut.
    QString next(int timeoutMs = kWaitMs)
    {
        if (!QTest::qWaitFor([this] { return !m_inbox.isEmpty(); }, timeoutMs))
            return kTimedOut;
        return m_inbox.takeFirst();
    }

    // The next message that starts with `prefix`, skipping others; kTimedOut if none.
    QString nextStartingWith(const QString& prefix, int timeoutMs = kWaitMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            const QString message = next(int(std::max<qint64>(1, deadline.remainingTime())));
            if (message == kTimedOut || message.startsWith(prefix))
                return message;
        }
        return kTimedOut;
    }

    // Every message up to (not including) `marker`, which is consumed. Used to
    // show that something did not arrive: send a probe whose answer must
    // come, then look at what came before it. The last entry is kTimedOut if
    // the marker never came.
    QStringList until(const QString& marker, int timeoutMs = kWaitMs)
    {
        QStringList before;
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            const QString message = next(int(std::max<qint64>(1, deadline.remainingTime())));
            if (message == marker)
                return before;
            before << message;
            if (message == kTimedOut)
                return before;
        }
    }

    // Messages already framed and not yet taken (no waiting).
    QStringList pending() const { return m_inbox; }
    QByteArray rawReceived() const { return m_raw; }

    // Greets the host: reads "CMD_sendlogininfo+N", logs in with `name` and
    // reads the host's "CMD_newplayerinfo" for itself. Returns the slot, 0 on failure.
    int login(const QString& name, const QString& version = QStringLiteral("2.0.17"))
    {
        const QString greeting = next();
        if (!greeting.startsWith(QLatin1String("CMD_sendlogininfo+")))
            return 0;
        m_slot = greeting.mid(18).toInt();
        send(QStringLiteral("CMD_logininfo+%1+%2+%3").arg(m_slot).arg(version, name));
        if (nextStartingWith(QStringLiteral("CMD_newplayerinfo+%1+").arg(m_slot)) == kTimedOut)
            return 0;
        return m_slot;
    }
    int slot() const { return m_slot; }

    // A chat line whose relay everybody gets: the probe for "nothing else came".
    QString chatRelay(const QString& name, const QString& text) const
    {
        return QStringLiteral("CMD_chat+%1+%2 chats: %3").arg(m_slot).arg(name, text);
    }

    bool isConnected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    bool waitForDisconnect(int timeoutMs = kWaitMs)
    {
        return QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::UnconnectedState; }, timeoutMs);
    }
    void close() { m_socket.disconnectFromHost(); }
    void abort() { m_socket.abort(); }
    QTcpSocket& socket() { return m_socket; }

private:
    void readSome()
    {
        const QByteArray bytes = m_socket.readAll();
        m_raw += bytes;
        m_tail += bytes;
        for (qsizetype end = m_tail.indexOf('\xFF'); end >= 0; end = m_tail.indexOf('\xFF')) {
            m_inbox << QString::fromLatin1(m_tail.left(end));
            m_tail.remove(0, end + 1);
        }
    }

    QTcpSocket m_socket;
    QByteArray m_raw;
    QByteArray m_tail;
    QStringList m_inbox;
    int m_slot = 0;
};

} // namespace velmora::test
