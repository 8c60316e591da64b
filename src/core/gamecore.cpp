#include "core/gamecore.h"

#include "core/clientsession.h"
#include "core/namedmutex.h"
#include "host/tserver.h"
#include "network/gameaddress.h"
#include "network/hostpublication.h"
#include "protocol/catalogue.h"
#include "records/gamesettings.h"
#include "records/tally.h"
#include "records/tallybook.h"

namespace velmora {

GameCore::Launch GameCore::readCommandLine(const QStringList& parameters)
{
    if (parameters.isEmpty())
        return {Launch::Kind::Solo, QStringLiteral("You"), QStringLiteral("127.0.0.1")};
    if (parameters.size() < 3)
        return {Launch::Kind::LoadingOnly, {}, {}};
    // Exactly "true" hosts; "True" or anything else joins.
    const bool host = parameters[2] == QLatin1String("true");
    return {host ? Launch::Kind::Host : Launch::Kind::Join, parameters[0], parameters[1]};
}

GameCore::GameCore(const QStringList& parameters, QObject* parent)
    : QObject(parent)
    , m_launch(readCommandLine(parameters))
    , m_settings(std::make_unique<GameSettings>())
    , m_session(std::make_unique<ClientSession>(&m_settings->preferences()))
    // The lobby learns from this name that the game runs.
    , m_mutex(std::make_unique<NamedMutex>(QStringLiteral("velmora")))
{
    // A failed save is told in a box, never while a message is being handled.
    connect(m_settings.get(), &GameSettings::writeFailed, this, &GameCore::reportRequested);
    // Read once per connection, when the host has told us who we are.
    connect(m_session.get(), &ClientSession::joined, m_settings.get(), &GameSettings::load);
    connect(m_session.get(), &ClientSession::dartCompleted, this, &GameCore::countDart);
    connect(m_session.get(), &ClientSession::winnerAnnounced, this, &GameCore::countWinner);
}

GameCore::~GameCore()
{
    // The session goes before the host it may still be connected to.
    m_session.reset();
    m_publication.reset();
    m_host.reset();
}

const Preferences& GameCore::preferences() const
{
    return m_settings->preferences();
}

TServer& GameCore::host()
{
    if (!m_host) {
        m_host = std::make_unique<TServer>();
        m_host->setBotPace([this] { return m_botPaceOverride.value_or(preferences().botspeed); });
    }
    return *m_host;
}

TallyBook& GameCore::book()
{
    if (!m_tally)
        m_tally = std::make_unique<TallyBook>();
    return *m_tally;
}

void GameCore::start()
{
    if (m_started)
        return;
    m_started = true;
    switch (m_launch.kind) {
    case Launch::Kind::Solo:
        emit systemLine(QStringLiteral("Loading Solo Game..Please wait."));
        emit soloStarted();
        m_session->setPlayerName(m_launch.name);
        hostGame();
        return;
    case Launch::Kind::LoadingOnly:
        emit systemLine(QStringLiteral("Loading Multi-player Game.. Please Wait."));
        return;
    case Launch::Kind::Host:
    case Launch::Kind::Join:
        emit systemLine(QStringLiteral("Loading Multi-player Game.. Please Wait."));
        m_session->setPlayerName(m_launch.name);
        if (m_launch.kind == Launch::Kind::Host)
            hostGame();
        else
            joinGame();
        m_session->holdLobbyConnection(m_lobbyPort);
        return;
    }
}

void GameCore::hostGame()
{
    if (const Status listening = host().startListening(m_gamePort); !listening) {
        emit reportRequested(QString::fromStdString(listening.error()));
        return;
    }
    // The host's own player always connects over loopback, like everyone else.
    m_session->connectToHost(QStringLiteral("127.0.0.1"), m_host->port(), true);
    if (m_launch.kind == Launch::Kind::Host) {
        const QString title = net::cleanTitle(m_title);
        m_publication = std::make_unique<net::HostPublication>(
            *m_host, title.isEmpty() ? net::HostPublication::titleFor(m_launch.name) : title, m_launch.name);
    }
    emit hostingStarted();
}

void GameCore::joinGame()
{
    // HOST, HOST:PORT, [IPV6]:PORT or an invitation; without a port, the
    // game's port. Our own host, when we host, listens on the game's port
    // whatever the address says.
    const Result<net::GameAddress> address = net::parseGameAddress(m_launch.address);
    if (!address) {
        emit systemLine(QStringLiteral("Cannot join: ") + QString::fromStdString(address.error()));
        return;
    }
    m_session->connectToHost(address.value().host, address.value().portOr(m_gamePort), false);
}

QList<GameCore::TallyPlayer> GameCore::tallyChecklist()
{
    QList<TallyPlayer> players;
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        const SeatState& s = m_session->seat(seat);
        if (seat != m_session->myseat() && s.kind != SeatKind::Empty)
            players.append({s.name, book().tally().isTallied(s.name)});
    }
    return players;
}

bool GameCore::tallyPlayer(const QString& name)
{
    return book().addOpponent(name);
}

bool GameCore::untallyPlayer(const QString& name)
{
    return book().removeOpponent(name);
}

void GameCore::resetTally()
{
    book().reset();
}

// Our own double bulls count while anybody else sits at the table.
void GameCore::countDart(int seat, int, const DartResult& result)
{
    if (result.kind() != DartResult::Kind::DoubleBull || seat != m_session->myseat() || tallyChecklist().isEmpty())
        return;
    book().addDoubleBull();
    emit tallyCounted();
}

void GameCore::countWinner(const QString& names, bool team)
{
    QStringList players;
    for (const TallyPlayer& player : tallyChecklist())
        players.append(player.name);
    const QString counted = winnerToTally(names, team, !players.isEmpty());
    if (counted.isEmpty())
        return;
    book().addGame(players, counted);
    emit tallyCounted();
}

QString GameCore::winnerToTally(const QString& winner, bool team, bool othersListed) const
{
    const int me = m_session->myseat();
    const bool seated = rules::isSeat(me);
    return Tally::winnerToCount(winner, seated ? m_session->seat(me).name : QString(), seated, othersListed, team);
}

} // namespace velmora
