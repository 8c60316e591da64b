#pragma once

#include "protocol/catalogue.h"
#include "records/preferences.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

namespace velmora {

class ClientSession;
class DartResult;
class GameSettings;
class NamedMutex;
class TServer;
class TallyBook;
namespace net {
class HostPublication;
}

// The game without its windows: it reads the command line, owns the client
// session, the in-process host, the preferences and their file, the tally
// and the named mutex, and applies the tally's rules to the end of a game. The main
// window is a view of it; main and the tests build the same object.
class GameCore : public QObject {
    Q_OBJECT
public:
    // What the command line asks for.
    struct Launch {
        enum class Kind {
            Solo,        // no parameters: "You" against the computer on our own host
            LoadingOnly, // one or two parameters: nothing is opened
            Host,        // name, address, "true"
            Join,        // name, address, anything else
        };
        Kind kind = Kind::Solo;
        QString name;
        QString address;
        bool operator==(const Launch&) const = default;
    };
    static Launch readCommandLine(const QStringList& parameters);

    explicit GameCore(const QStringList& parameters, QObject* parent = nullptr);
    ~GameCore() override;

    // The game port (7772) and the lobby's port (9001); tests take free ones.
    void setGamePort(quint16 port) { m_gamePort = port; }
    void setLobbyPort(quint16 port) { m_lobbyPort = port; }
    // The title our hosted game is announced with; empty (the default)
    // announces "NAME's game". A lobby passes it in net::kTitleVariable.
    void setGameTitle(const QString& title) { m_title = title; }

    // A fixed pace for the computer whatever the preferences say (tests).
    void setBotPaceForTesting(int ms) { m_botPaceOverride = ms; }

    // Starts what the command line asks for; later calls do nothing.
    void start();

    ClientSession& session() { return *m_session; }
    const ClientSession& session() const { return *m_session; }
    GameSettings& settings() { return *m_settings; }
    const Preferences& preferences() const;
    // The in-process host, made on first use; it listens only once we host.
    TServer& host();
    // The tally, read from its file on first use and written when the core goes.
    const TallyBook& tally() { return book(); }
    // Our game's announcement on the local network: only while our player
    // hosts a game with others, never in a solo game.
    const net::HostPublication* publication() const { return m_publication.get(); }

    // What the end of a game counts as in the tally: Tally::mine() when we
    // won, the winner's name, or nothing (a spectator, a team win, a game
    // with no other player listed).
    QString winnerToTally(const QString& winner, bool team, bool othersListed) const;
    // The players of the current game for the tally: everybody seated but
    // us, each with whether he is tallied. The core counts each game's end
    // and our double bulls against them; it is the tally's one writer.
    struct TallyPlayer {
        QString name;
        bool tallied = false;
    };
    QList<TallyPlayer> tallyChecklist();
    // What the player asks of the tally in its window; false when there was
    // nothing to do (already tallied, or no longer).
    bool tallyPlayer(const QString& name);
    bool untallyPlayer(const QString& name);
    void resetTally();

signals:
    // A status line for the chat ("Loading Solo Game..Please wait.").
    void systemLine(const QString& text);
    // Something to tell the player in a box.
    void reportRequested(const QString& text);
    // A solo game began: the lobby download is offered.
    void soloStarted();
    // Our host listens and our player is connecting to it: the start
    // controls and the spectator list's removal are the host's.
    void hostingStarted();
    // The tally counted a game or a double bull.
    void tallyCounted();

private:
    TallyBook& book();
    void countDart(int seat, int dart, const DartResult& result);
    void countWinner(const QString& names, bool team);
    void hostGame();
    void joinGame();

    Launch m_launch;
    std::unique_ptr<GameSettings> m_settings;
    std::unique_ptr<ClientSession> m_session;
    std::unique_ptr<TServer> m_host;
    std::unique_ptr<net::HostPublication> m_publication;
    std::unique_ptr<TallyBook> m_tally;
    std::unique_ptr<NamedMutex> m_mutex;
    QString m_title;
    quint16 m_gamePort = protocol::kGamePort;
    quint16 m_lobbyPort = protocol::kLobbyPort;
    std::optional<int> m_botPaceOverride;
    bool m_started = false;
};

} // namespace velmora
