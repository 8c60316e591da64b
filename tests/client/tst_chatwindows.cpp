// The lobby connection a window started with parameters holds, as the
// player sees it.

#include "../strictwarnings.h"
#include "gameinstance.h"

#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>

using namespace velmora;
using velmora::testing::GameInstance;

namespace {

constexpr int kTimeoutMs = 60000;

// Stands in for the lobby: takes the connection a window opens to it.
struct FakeLobby {
    QTcpServer server;
    QTcpSocket* peer = nullptr;

    FakeLobby() { server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server.serverPort(); }
    bool accepted()
    {
        if (!peer)
            peer = server.nextPendingConnection();
        return peer != nullptr;
    }
};

void typeLine(GameInstance& game, const QString& text)
{
    auto* entry = game.control<QLineEdit>(QStringLiteral("mychat"));
    entry->setText(text);
    QTest::keyClick(entry, Qt::Key_Return);
}

} // namespace

class TestChatWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<velmora::testing::TemporaryDataFolder> m_folder;

private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        m_folder = std::make_unique<velmora::testing::TemporaryDataFolder>();
    }
    void cleanup() { m_folder.reset(); }
    void lobbyConnectionIsReadAndStartsQuietly();
};

void TestChatWindows::lobbyConnectionIsReadAndStartsQuietly()
{
    FakeLobby lobby;
    GameInstance ann({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")}, 0, 1, lobby.port());
    QTRY_VERIFY_WITH_TIMEOUT(lobby.accepted(), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(ann.chat.session().isConnected(), kTimeoutMs);

    // A lobby that talks on and on: each megabyte has left its side before
    // the next is sent, and the game's side never keeps much of it.
    constexpr qint64 kChunk = 1 << 20;
    constexpr int kChunks = 32;
    const QByteArray chunk(kChunk, 'x');
    qint64 mostWaiting = 0;
    for (int i = 0; i < kChunks; ++i) {
        lobby.peer->write(chunk);
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                mostWaiting = std::max(mostWaiting, ann.chat.session().lobbyBytesWaiting());
                return lobby.peer->bytesToWrite() == 0;
            }(),
            kTimeoutMs);
    }
    QTRY_COMPARE_WITH_TIMEOUT(ann.chat.session().lobbyBytesWaiting(), qint64(0), kTimeoutMs);
    QVERIFY2(mostWaiting <= 4 * kChunk, qPrintable(QString::number(mostWaiting)));
    // The game goes on meanwhile.
    typeLine(ann, QStringLiteral("still here"));
    QTRY_VERIFY_WITH_TIMEOUT(ann.hasLine(QStringLiteral("Ann chats: still here")), kTimeoutMs);
}

QTEST_MAIN(TestChatWindows)
#include "tst_chatwindows.moc"
