// The game core without any window: the command line, hosting and joining,
// and the tally's rule for the end of a game.

#include "core/clientsession.h"
#include "core/gamecore.h"
#include "host/tserver.h"
#include "records/datafolder.h"
#include "records/tally.h"
#include "strictwarnings.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using Kind = GameCore::Launch::Kind;

class TestGameCore : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        setDataFolderForTesting(m_folder.path());
    }
    void cleanup() { setDataFolderForTesting({}); }

    void commandLineChoosesHowToStart()
    {
        QCOMPARE(GameCore::readCommandLine({}), (GameCore::Launch{Kind::Solo, "You", "127.0.0.1"}));
        QCOMPARE(GameCore::readCommandLine({"Ann", "10.1.1.1"}).kind, Kind::LoadingOnly);
        QCOMPARE(GameCore::readCommandLine({"Ann", "h", "true", "x"}), (GameCore::Launch{Kind::Host, "Ann", "h"}));
        QCOMPARE(GameCore::readCommandLine({"Ann", "h", "True"}).kind, Kind::Join);
    }

    void aBadAddressJoinsNothing()
    {
        GameCore guest({"Bob", "velmora://h:99999", "false"});
        guest.setLobbyPort(freePort());
        QSignalSpy lines(&guest, &GameCore::systemLine);
        guest.start();
        QCOMPARE(lines.count(), 2);
        QCOMPARE(lines[1][0].toString(), QStringLiteral("Cannot join: The port must be a number from 1 to 65535."));
        QCOMPARE(guest.session().state(), ClientSession::State::NotConnected);
    }

    void hostsAndJoinsWithoutAWindow()
    {
        // Hosting with a remote address still connects to our own host.
        GameCore host({"Ann", "192.0.2.1", "true"});
        host.setGamePort(0);
        host.setLobbyPort(freePort());
        QSignalSpy hosting(&host, &GameCore::hostingStarted);
        QSignalSpy lines(&host, &GameCore::systemLine);
        host.start();
        host.start(); // once only
        QCOMPARE(hosting.count(), 1);
        QCOMPARE(lines.count(), 1);
        QCOMPARE(lines[0][0].toString(), QStringLiteral("Loading Multi-player Game.. Please Wait."));
        QTRY_VERIFY_WITH_TIMEOUT(host.session().isConnected(), kTimeoutMs);
        QCOMPARE(host.session().myseat(), 1);

        // The host's port in the address, as a dedicated host on another port is joined.
        GameCore guest({"Bob", QStringLiteral("127.0.0.1:%1").arg(host.host().port()), "false"});
        guest.setLobbyPort(freePort());
        guest.start();
        QTRY_COMPARE_WITH_TIMEOUT(guest.session().seat(1).name, QStringLiteral("Ann"), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(host.session().seat(2).name, QStringLiteral("Bob"), kTimeoutMs);
        QCOMPARE(guest.session().myseat(), 2);
        QVERIFY(!guest.session().isHost());

        // Our own wins count as ours, others' by name; a team win or a game
        // watched counts nothing.
        QCOMPARE(host.winnerToTally("Ann", false, true), Tally::mine());
        QCOMPARE(host.winnerToTally("Bob", false, true), QStringLiteral("Bob"));
        QVERIFY(host.winnerToTally("Ann and Dask", true, true).isEmpty());
        QVERIFY(host.winnerToTally("Bob", false, false).isEmpty());
    }

private:
    static constexpr int kTimeoutMs = 20000;

    // A port nobody listens on, for the lobby connection nobody answers.
    static quint16 freePort()
    {
        TServer probe;
        probe.startListening(0);
        return probe.port();
    }

    QTemporaryDir m_folder;
};

QTEST_GUILESS_MAIN(TestGameCore)
#include "tst_gamecore.moc"
