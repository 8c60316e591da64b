// The lobby: how it hands the game over and gets it back, what it keeps in
// the settings file it shares with the game, and what it refuses to start.

#include "lobby/gamelink.h"
#include "lobby/gamelistmodel.h"
#include "lobby/lobbysettings.h"
#include "lobby/lobbywindow.h"
#include "network/gamebrowser.h"
#include "recordinglauncher.h"
#include "records/datafolder.h"
#include "strictwarnings.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace velmora;
using namespace velmora::lobby;
using velmora::testing::RecordingLauncher;

namespace {

constexpr int kWaitMs = 20000;

QLineEdit* edit(const LobbyWindow& w, const char* name)
{
    return w.findChild<QLineEdit*>(QLatin1StringView(name));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestLobby : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        QVERIFY(m_folder.isValid());
        setDataFolderForTesting(m_folder.path());
        QFile::remove(m_folder.filePath(QStringLiteral("kivolobby.ini")));
    }
    void cleanup() { setDataFolderForTesting({}); }

    // A stand-in for the game: it writes down its parameters and the title it
    // was given, holds its connection to the lobby's port until told to go,
    // then closes it, as the game does when it ends.
    void handsTheGameOverAndComesBack()
    {
        const QString dir = m_folder.path();
        const QString go = dir + QStringLiteral("/go");
        QCOMPARE(::mkfifo(QFile::encodeName(go).constData(), 0600), 0);
        const QString program = dir + QStringLiteral("/standin");
        auto* launcher = new ProcessLauncher(program);
        LobbyWindow lobby{std::unique_ptr<GameLauncher>(launcher)};
        QVERIFY(lobby.linkPort() != 0);
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/bash\n"
                                    "printf '%s\\n' \"$@\" \"${VELMORA_GAME_TITLE-none}\" > '%1/args'\n"
                                    "exec 3<>/dev/tcp/127.0.0.1/%2 || exit 1\n"
                                    "read -r _ < '%3'\n"
                                    "exec 3>&-\n")
                         .arg(dir)
                         .arg(lobby.linkPort())
                         .arg(go)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        lobby.show();
        edit(lobby, "edit_name")->setText(QStringLiteral("  Ann "));
        edit(lobby, "edit_title")->setText(QStringLiteral("Friday dice"));
        QTest::keyClick(edit(lobby, "edit_title"), Qt::Key_Return);
        QVERIFY(!lobby.isVisible());
        const auto* link = lobby.findChild<GameLink*>();
        QTRY_COMPARE_WITH_TIMEOUT(link->games(), 1, kWaitMs);
        QCOMPARE(readAll(dir + QStringLiteral("/args")), QByteArray("Ann\n127.0.0.1\ntrue\nFriday dice\n"));
        QVERIFY(!lobby.isVisible());

        QFile release(go);
        QVERIFY(release.open(QIODevice::WriteOnly));
        release.write("\n");
        release.close();
        QTRY_VERIFY_WITH_TIMEOUT(lobby.isVisible(), kWaitMs);
        QCOMPARE(lobby.status(), QStringLiteral("The game has ended."));
    }

    // The name goes into section [Lobby]; the game's section, the comments,
    // the line endings and a file without a last line break stay as they are.
    void remembersTheNameInItsOwnSection()
    {
        const QString path = m_folder.filePath(QStringLiteral("kivolobby.ini"));
        const QByteArray before = "; shared with the game\r\n[Velmora]\r\nTextcolor=clLime\r\n\r\n[Other]\r\nName=Zed";
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        auto* launcher = new RecordingLauncher;
        {
            LobbyWindow lobby{std::unique_ptr<GameLauncher>(launcher)};
            edit(lobby, "edit_name")->setText(QStringLiteral("Bea"));
            lobby.hostGame();
            QCOMPARE(launcher->launches.size(), 1);
        }
        QCOMPARE(readAll(path), before + "\r\n[Lobby]\r\nName=Bea\r\n");
        LobbyWindow again(std::make_unique<RecordingLauncher>());
        QCOMPARE(edit(again, "edit_name")->text(), QStringLiteral("Bea"));
        QCOMPARE(LobbySettings().playerName(), QStringLiteral("Bea"));
    }

    void answersBadInputAndStartsNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");       // typed into the join line
        QTest::addColumn<QList<QByteArray>>("txt"); // else a game found with this record
        QTest::addColumn<QString>("answer");
        const QList<QByteArray> none;
        QTest::newRow("no name") << " "
                                 << "127.0.0.1" << none << "Type your name first.";
        QTest::newRow("long name") << QString(21, u'n') << "127.0.0.1" << none
                                   << "Your name is too long: at most 20 characters.";
        QTest::newRow("plus in name") << "a+b"
                                      << "127.0.0.1" << none << "may not hold \"+\"";
        QTest::newRow("another scheme") << "Ann"
                                        << "http://example.org" << none << "velmora://";
        QTest::newRow("port out of range") << "Ann"
                                           << "velmora://host:99999" << none << "port";
        QTest::newRow("unknown host") << "Ann"
                                      << "no-such-host.invalid" << none << "There is no computer called";
        QTest::newRow("nobody listens") << "Ann" << QStringLiteral("127.0.0.1:%1").arg(closedPort()) << none
                                        << "the connection was refused";
        QTest::newRow("another version") << "Ann" << QString()
                                         << QList<QByteArray>{"version=1.9",  "title=Old\x1b[31m one", "players=1",
                                                              "spectators=0", "state=waiting",         "host=Zed\x07"}
                                         << "Old [31m one cannot be joined: It runs version 1.9 of the game";
    }
    void answersBadInputAndStartsNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QList<QByteArray>, txt);
        QFETCH(QString, answer);
        auto* launcher = new RecordingLauncher;
        LobbyWindow lobby{std::unique_ptr<GameLauncher>(launcher)};
        lobby.show();
        edit(lobby, "edit_name")->setText(name);
        if (txt.isEmpty()) {
            edit(lobby, "edit_address")->setText(address);
            QTest::keyClick(edit(lobby, "edit_address"), Qt::Key_Return);
        } else {
            lobby.games().setGames({foundGame(txt)});
            const QModelIndex title = lobby.games().index(0, GameListModel::Title);
            QCOMPARE(title.data().toString(), QStringLiteral("Old [31m one"));
            QCOMPARE(lobby.games().index(0, GameListModel::Host).data().toString(), QStringLiteral("Zed"));
            QVERIFY(title.data(Qt::ForegroundRole).isValid()); // greyed
            lobby.joinListed(0);
        }
        QTRY_VERIFY2_WITH_TIMEOUT(lobby.status().contains(answer), qPrintable(lobby.status()), kWaitMs);
        QVERIFY(!lobby.status().contains(u'\n'));
        QVERIFY(launcher->launches.isEmpty());
        QVERIFY(lobby.isVisible());
    }

    // Every control says what it is, each entry has a label that leads to
    // it, and the window is a window to a screen reader.
    void everyControlIsNamed()
    {
        LobbyWindow lobby(std::make_unique<RecordingLauncher>());
        lobby.show();
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&lobby);
        QVERIFY(window->role() == QAccessible::Window || window->role() == QAccessible::Dialog);
        QSet<const QWidget*> buddies;
        for (const QLabel* label : lobby.findChildren<QLabel*>())
            buddies << label->buddy();
        for (const QWidget* w : lobby.findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&lobby) || w->objectName().startsWith(u"qt_"))
                continue;
            QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            if (qobject_cast<const QLineEdit*>(w) || w->objectName().startsWith(u"list_"))
                QVERIFY2(buddies.contains(w), qPrintable(w->objectName() + " has no label"));
        }
        // Tab walks from the name to the join button in reading order.
        QVERIFY(QTest::qWaitForWindowActive(&lobby));
        edit(lobby, "edit_name")->setFocus();
        QStringList order;
        for (int i = 0; i < 9; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, QStringList({"edit_name", "edit_title", "list_addresses", "button_copy", "check_internet",
                                     "button_host", "list_games", "edit_address", "button_join"}));
    }

private:
    static quint16 closedPort()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        return server.serverPort(); // closed again when it goes
    }
    static net::FoundGame foundGame(const QList<QByteArray>& txt)
    {
        return net::checkFoundGame(QStringLiteral("instance"), QStringLiteral("127.0.0.1"), 7772, txt);
    }

    QTemporaryDir m_folder;
};

QTEST_MAIN(TestLobby)
#include "tst_lobby.moc"
