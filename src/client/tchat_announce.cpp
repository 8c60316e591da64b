// What the main window tells a screen reader as the game goes on.

#include "announcer.h"
#include "client/board/spokenwords.h"
#include "core/clientsession.h"
#include "core/receivedchat.h"
#include "tchat.h"

namespace velmora {

namespace {

// "Your" for the player's own seat, else "Borl's".
QString whose(const QString& name, bool mine)
{
    return mine ? QStringLiteral("Your") : name + QStringLiteral("'s");
}

} // namespace

void Tchat::connectAnnouncements()
{
    m_announcer = new Announcer(this);
    const ClientSession* s = m_session;
    connect(s, &ClientSession::turnChanged, this, [this](int seat) {
        announce(m_session->myseat() == seat ? QStringLiteral("Your turn.")
                                             : seatName(seat) + QStringLiteral("'s turn."));
    });
    connect(s, &ClientSession::diceThrown, this, &Tchat::announceThrow);
    connect(s, &ClientSession::dartCompleted, this, &Tchat::announceDart);
    connect(s, &ClientSession::turnScored, this, [this](int seat) {
        if (!m_session->model().pointsGame)
            return;
        const int points = m_session->seat(seat).points;
        announce(seat == m_session->myseat() ? QStringLiteral("You have %1 points.").arg(points)
                                             : QStringLiteral("%1 has %2 points.").arg(seatName(seat)).arg(points));
    });
    connect(s, &ClientSession::winnerAnnounced, this, [this](const QString& names, bool team) {
        announce(names + (team ? QStringLiteral(" have Won the Game!") : QStringLiteral(" has Won the Game!")));
    });
    connect(s, &ClientSession::chatReceived, this, [this](const ReceivedChat& chat) {
        // The player's own lines come back from the host; he knows what he said.
        if (chat.sender != m_session->myseat())
            announce((chat.name + chat.text).simplified());
    });
}

void Tchat::announce(const QString& text)
{
    // A rejoin's catch-up replays the game so far; only the news is said.
    if (m_session->tellsNews())
        m_announcer->announce(text);
}

void Tchat::announceThrow()
{
    const GameModel& model = m_session->model();
    const QList<int> faces(model.turn.values.begin(), model.turn.values.end());
    if (faces.value(0) == 0)
        return; // blank dice: the turn as a rejoin finds it, before the throw
    const bool mine = m_session->isMyTurn();
    const QString who = mine ? QStringLiteral("You") : seatName(model.whoseturn);
    announce(QStringLiteral("%1 threw %2.").arg(who, spoken::faces(faces)));
}

void Tchat::announceDart(int seat, int dart, const DartResult& result)
{
    QString text = QStringLiteral("%1 dart %2: %3")
                       .arg(whose(seatName(seat), seat == m_session->myseat()))
                       .arg(dart)
                       .arg(spoken::dartResult(result));
    if (const std::optional<int> target = result.target())
        text += QStringLiteral(", now ") + spoken::marks(rules::marksOn(m_session->seat(seat).marks, *target));
    announce(text + QLatin1Char('.'));
}

} // namespace velmora
