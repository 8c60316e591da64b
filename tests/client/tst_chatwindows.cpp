// Chat between real game windows through a real host, and the lobby
// connection a window started with parameters holds, as the player sees them.

#include "strictwarnings.h"
#include "gameinstance.h"
#include "records/preferences.h"

#include <QAccessible>
#include <QApplication>
#include <QColorDialog>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <map>

using namespace velmora;
using velmora::testing::GameInstance;

namespace {

constexpr int kTimeoutMs = 60000;

const QColor kOrange(255, 165, 0);
const QColor kLime(0, 255, 0);

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

int findLine(const GameInstance& game, const QString& text)
{
    return int(game.lines().indexOf(text));
}

// The colour most pixels of a shown line are drawn in, the black background aside.
QColor drawnColour(ChatView* view, int paragraph)
{
    const QImage image = view->viewport()->grab().toImage();
    const QRect rect = view->paragraphRect(paragraph) & image.rect();
    std::map<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (const QRgb rgb = image.pixel(x, y) & 0xFFFFFF; rgb != 0)
                ++counts[rgb];
    if (counts.empty())
        return {};
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return QColor(most->first);
}

// Picks the chat colour in the window's own colour dialog, as a player does.
void chooseTextColour(GameInstance& game, const QColor& colour)
{
    bool chosen = false;
    QTimer picker;
    QObject::connect(&picker, &QTimer::timeout, &picker, [&] {
        if (auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
            dialog->setCurrentColor(colour);
            dialog->accept();
            chosen = true;
        }
    });
    picker.start(5);
    game.chat.findChild<QAction*>(QStringLiteral("TextColor1"))->trigger(); // returns once it is closed
    QVERIFY(chosen);
}

void typeLine(GameInstance& game, const QString& text)
{
    auto* entry = game.control<QLineEdit>(QStringLiteral("mychat"));
    entry->setText(text);
    QTest::keyClick(entry, Qt::Key_Return);
}

// The chat's list as a screen reader finds it in a window.
QAccessibleInterface* chatList(QAccessibleInterface* iface)
{
    if (!iface || iface->state().invisible)
        return nullptr;
    if (iface->role() == QAccessible::List && iface->text(QAccessible::Name) == QLatin1String("Chat"))
        return iface;
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface* found = chatList(iface->child(i)))
            return found;
    return nullptr;
}

QString newestItem(QAccessibleInterface* list)
{
    const int count = list->childCount();
    return count > 0 ? list->child(count - 1)->text(QAccessible::Name) : QString();
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
    void relayedLinesKeepSenderAndColour();
    void anotherPlayersLineIsReadBack();
    void lobbyConnectionIsReadAndStartsQuietly();
};

void TestChatWindows::relayedLinesKeepSenderAndColour()
{
    FakeLobby lobby;
    GameInstance ann({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")}, 0, 1, lobby.port());
    QTRY_VERIFY_WITH_TIMEOUT(ann.chat.session().isConnected(), kTimeoutMs);
    const quint16 port = ann.server.port();
    GameInstance bob({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, port, 1,
                     lobby.port());
    QTRY_COMPARE_WITH_TIMEOUT(bob.chat.session().myseat(), 2, kTimeoutMs);
    // Seats 3 and 4 are taken by windowless players, so the next to come watches.
    const Preferences prefs;
    std::vector<std::unique_ptr<ClientSession>> fillers;
    for (const char* name : {"Cid", "Dan"}) {
        fillers.push_back(std::make_unique<ClientSession>(&prefs));
        fillers.back()->setPlayerName(QString::fromLatin1(name));
        fillers.back()->connectToHost(QStringLiteral("127.0.0.1"), port, false);
        QTRY_VERIFY_WITH_TIMEOUT(fillers.back()->isConnected(), kTimeoutMs);
    }
    GameInstance eve({QStringLiteral("Eve"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, port, 1,
                     lobby.port());
    QTRY_VERIFY_WITH_TIMEOUT(eve.hasLine(QStringLiteral("You are spying.")), kTimeoutMs);
    QCOMPARE(eve.chat.session().myseat(), 5);

    // Ann and Bob speak in the lime they start with, then Bob in the orange
    // he picks, with a "+" in his line.
    typeLine(ann, QStringLiteral("hello all"));
    const QString annLine = QStringLiteral("Ann chats: hello all");
    QTRY_VERIFY_WITH_TIMEOUT(eve.hasLine(annLine), kTimeoutMs);
    typeLine(bob, QStringLiteral("hi"));
    const QString bobFirst = QStringLiteral("Bob chats: hi");
    QTRY_VERIFY_WITH_TIMEOUT(eve.hasLine(bobFirst), kTimeoutMs);
    chooseTextColour(bob, kOrange);
    typeLine(bob, QStringLiteral("2+2 is four"));
    const QString bobLine = QStringLiteral("Bob chats: 2+2 is four");
    for (GameInstance* window : {&ann, &bob, &eve})
        QTRY_VERIFY2_WITH_TIMEOUT(window->hasLine(bobLine), qPrintable(window->lines().join(u'\n')), kTimeoutMs);
    // Ann answers in lime; nothing of Bob's turns lime again.
    typeLine(ann, QStringLiteral("right"));
    const QString annAgain = QStringLiteral("Ann chats: right");
    for (GameInstance* window : {&ann, &bob, &eve})
        QTRY_VERIFY_WITH_TIMEOUT(window->hasLine(annAgain), kTimeoutMs);

    // A colour belongs to a sender's style: Bob's newest colour draws all his
    // lines, earlier ones too, and no one else's.
    for (GameInstance* window : {&ann, &bob, &eve}) {
        ChatView* view = window->mainchat();
        const int bobAt = findLine(*window, bobLine);
        // Bob's own style (connection 2: style 7), every word of it.
        const QList<ChatRun> runs = view->paragraphRuns(bobAt);
        QVERIFY(!runs.isEmpty());
        for (const ChatRun& run : runs)
            QCOMPARE(run.style, 7);
        QCOMPARE(view->styleColour(7), kOrange);
        const int bobFirstAt = findLine(*window, bobFirst);
        QCOMPARE(view->paragraphRuns(bobFirstAt).first().style, 7);
        const int annAt = findLine(*window, annLine);
        const int annAgainAt = findLine(*window, annAgain);
        QCOMPARE(view->paragraphRuns(annAt).first().style, 6);
        QCOMPARE(view->styleColour(6), kLime);
        const int systemAt = findLine(*window, QStringLiteral("Click Ctrl-i for Quick Instructions."));
        QCOMPARE(view->paragraphRuns(systemAt).first().style, 0);
        QCOMPARE(view->styleColour(0), kLime);
        // And on the screen.
        QCOMPARE(drawnColour(view, bobAt), kOrange);
        QCOMPARE(drawnColour(view, bobFirstAt), kOrange);
        QCOMPARE(drawnColour(view, annAt), kLime);
        QCOMPARE(drawnColour(view, annAgainAt), kLime);
        QCOMPARE(drawnColour(view, systemAt), kLime);
    }
}

// What Bob types reaches Ann's screen reader as a line of her chat's list, the
// one her reader hears when she moves to her chat.
void TestChatWindows::anotherPlayersLineIsReadBack()
{
    FakeLobby lobby;
    GameInstance ann({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")}, 0, 1, lobby.port());
    QTRY_VERIFY_WITH_TIMEOUT(ann.chat.session().isConnected(), kTimeoutMs);
    GameInstance bob({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, ann.server.port(),
                     1, lobby.port());
    QTRY_COMPARE_WITH_TIMEOUT(bob.chat.session().myseat(), 2, kTimeoutMs);

    typeLine(bob, QStringLiteral("look https://a.example/x :)#12 ok"));
    const QString heard = QStringLiteral("Bob says look https://a.example/x smiley ok");
    QAccessibleInterface* list = chatList(QAccessible::queryAccessibleInterface(&ann.chat));
    QVERIFY(list);
    QTRY_COMPARE_WITH_TIMEOUT(newestItem(list), heard, kTimeoutMs);
    QCOMPARE(list->childCount(), ann.mainchat()->paragraphCount());

    // Tab onto the chat: the reader is told of Bob's line; Up goes to the one before.
    QStringList told;
    connect(ann.mainchat(), &ChatView::lineFocused, this,
            [&](int index) { told << list->child(index)->text(QAccessible::Name); });
    QApplication::setActiveWindow(&ann.chat);
    QTRY_VERIFY(ann.chat.isActiveWindow());
    ann.mainchat()->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(told.value(0), heard);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(told.size(), 2);
    QCOMPARE(told.last(), list->child(list->childCount() - 2)->text(QAccessible::Name));
}

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
