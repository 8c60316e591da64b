// The client session against a host that misbehaves on purpose: it floods
// the session's queue or repeats its refusal; the session stays bounded and
// tells the player once.

#include "core/clientsession.h"
#include "records/preferences.h"
#include "strictwarnings.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace velmora;
using State = ClientSession::State;

namespace {

constexpr int kTimeoutMs = 90000;

// A host that greets the first connection and then sends `flood`.
class ScriptedHost {
public:
    explicit ScriptedHost(QByteArray flood)
        : m_flood(std::move(flood))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            m_peer = m_server.nextPendingConnection();
            m_peer->write(QByteArray("CMD_sendlogininfo+1\xFF") + m_flood);
        });
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    QTcpServer m_server;
    QTcpSocket* m_peer = nullptr;
    QByteArray m_flood;
};

QByteArray repeated(const QByteArray& message, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += message + '\xFF';
    return out;
}

} // namespace

class TestHostileHost : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void floodingHostIsLeftWithALine()
    {
        ScriptedHost host(repeated("CMD_newplayerinfo+5+Spam", 6000));
        Preferences prefs;
        ClientSession session(&prefs);
        QStringList lines;
        connect(&session, &ClientSession::systemLine, this, [&](const QString& l) { lines << l; });
        QSignalSpy closing(&session, &ClientSession::closeRequested);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("more messages than the game can keep"));
        session.setPlayerName(QStringLiteral("Ann"));
        session.connectToHost(QStringLiteral("127.0.0.1"), host.port(), false);
        QTRY_COMPARE_WITH_TIMEOUT(session.state(), State::Closed, kTimeoutMs);
        QCOMPARE(lines.filter(QStringLiteral("You have been disconnected.")).size(), 1);
        // The window is not closed under the player.
        QCOMPARE(closing.count(), 0);
    }

    void repeatedRefusalIsReportedOnce()
    {
        ScriptedHost host(repeated("CMD_full+", 20000));
        Preferences prefs;
        ClientSession session(&prefs);
        QSignalSpy reports(&session, &ClientSession::reportRequested);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("more messages than the game can keep"));
        QSignalSpy closing(&session, &ClientSession::closeRequested);
        session.setPlayerName(QStringLiteral("Ann"));
        session.connectToHost(QStringLiteral("127.0.0.1"), host.port(), false);
        QTRY_COMPARE_WITH_TIMEOUT(session.state(), State::Closed, kTimeoutMs);
        QCOMPARE(reports.count(), 1);
        QCOMPARE(reports.first().first().toString(), QStringLiteral("Game is full"));
        QCOMPARE(closing.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHostileHost)
#include "tst_hostilehost.moc"
