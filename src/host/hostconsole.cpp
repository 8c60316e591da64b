#include "hostconsole.h"

#include "consoletext.h"
#include "tserver.h"

#include <QStringList>

namespace velmora {

HostConsole::HostConsole(TServer& server, QObject* parent)
    : QObject(parent)
    , m_server(server)
{
    connect(&server, &TServer::connectionAccepted, this, [this](int slot, const QString& peer) {
        emit output(QStringLiteral("connection %1 from %2").arg(slot).arg(consoleSafe(peer)));
    });
    connect(&server, &TServer::connectionRefused, this, [this](const QString& peer) {
        emit output(QStringLiteral("refused %1: game is full").arg(consoleSafe(peer)));
    });
    connect(&server, &TServer::loggedIn, this, [this](int slot, const QString& name) {
        emit output(QStringLiteral("login %1 %2").arg(slot).arg(consoleSafe(name)));
    });
    connect(&server, &TServer::departed, this, [this](int slot, const QString& name) {
        emit output(QStringLiteral("left %1 %2").arg(slot).arg(consoleSafe(name)));
    });
    connect(&server, &TServer::seatHeld, this, [this](int slot, const QString& name, int seconds) {
        emit output(QStringLiteral("lost %1 %2: seat held %3 s").arg(slot).arg(consoleSafe(name)).arg(seconds));
    });
    connect(&server, &TServer::rejoined, this, [this](int slot, const QString& name) {
        emit output(QStringLiteral("rejoined %1 %2").arg(slot).arg(consoleSafe(name)));
    });
    connect(&server, &TServer::gameStarted, this, [this](int starter, bool team, bool points) {
        emit output(QStringLiteral("game started by %1: %2, points %3")
                        .arg(starter)
                        .arg(team ? QStringLiteral("team game") : QStringLiteral("each for himself"))
                        .arg(points ? QStringLiteral("on") : QStringLiteral("off")));
    });
    connect(&server, &TServer::winnerAnnounced, this,
            [this](const QString& winner) { emit output(QStringLiteral("winner %1").arg(consoleSafe(winner))); });
}

QString HostConsole::execute(const QString& line)
{
    const QStringList words = line.simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString& command = words.first();
    if (command == QLatin1String("start")) {
        bool team = false;
        bool points = true;
        for (const QString& option : words.mid(1)) {
            if (option == QLatin1String("team"))
                team = true;
            else if (option == QLatin1String("nopoints"))
                points = false;
            else
                return QStringLiteral("unknown option '%1' (start [team] [nopoints])").arg(consoleSafe(option));
        }
        m_server.startGame(1, team, points);
        return {};
    }
    if (command == QLatin1String("kick")) {
        bool ok = false;
        const int slot = words.value(1).toInt(&ok);
        if (!ok || slot < 1 || slot > game::kMaxConnections)
            return QStringLiteral("usage: kick N (N from 1 to %1)").arg(game::kMaxConnections);
        if (!m_server.connection(slot).connected)
            return QStringLiteral("slot %1 is not connected").arg(slot);
        m_server.kick(slot);
        return {};
    }
    if (command == QLatin1String("who"))
        return slotTable();
    if (command == QLatin1String("quit")) {
        emit quitRequested();
        return {};
    }
    return QStringLiteral("commands: start [team] [nopoints] | kick N | who | quit");
}

QString HostConsole::slotTable() const
{
    const GameEngine& engine = m_server.engine();
    QStringList rows{QStringLiteral("slot  name                  marks          score  state")};
    for (int s = 1; s <= game::kMaxConnections; ++s) {
        const Roster::Connection& c = m_server.connection(s);
        const bool isSeat = s <= game::kSeats;
        if (!c.connected && !isSeat)
            continue;
        QString marks;
        QStringList state{c.connected ? QStringLiteral("connected")
                          : m_server.isHeld(s)
                              ? QStringLiteral("held %1 s for its player").arg(m_server.holdSecondsLeft(s))
                              : QStringLiteral("free")};
        if (isSeat) {
            for (int m : engine.seat(s).marks)
                marks += QString::number(m);
            if (engine.role(s) == GameEngine::SeatRole::Computer)
                state << QStringLiteral("computer %1").arg(QString::fromLatin1(rules::botName(s)));
            if (engine.seat(s).watching)
                state << QStringLiteral("just watching");
        }
        if (s == engine.currentSeat())
            state << QStringLiteral("to play");
        rows << QStringLiteral("%1     %2  %3  %4  %5")
                    .arg(s)
                    .arg(consoleSafe(c.name).left(20), -20)
                    .arg(marks, -13)
                    .arg(isSeat ? QString::number(engine.seat(s).score) : QString(), 5)
                    .arg(state.join(QStringLiteral(", ")));
    }
    return rows.join(u'\n');
}

} // namespace velmora
