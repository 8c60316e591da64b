#include "core/narrator.h"

#include "core/clientsession.h"
#include "core/receivedchat.h"
#include "core/spokenwords.h"
#include "protocol/catalogue.h"

namespace velmora {

namespace {

// "Your" for the player's own seat, else "Borl's".
QString whose(const QString& name, bool mine)
{
    return mine ? QStringLiteral("Your") : name + QStringLiteral("'s");
}

} // namespace

Narrator::Narrator(const ClientSession& session, QObject* parent)
    : QObject(parent)
    , m_session(session)
{
    const ClientSession* s = &session;
    connect(s, &ClientSession::turnChanged, this, &Narrator::onTurn);
    connect(s, &ClientSession::diceThrown, this, &Narrator::onThrow);
    connect(s, &ClientSession::dartCompleted, this, &Narrator::onDart);
    connect(s, &ClientSession::turnScored, this, &Narrator::onScored);
    connect(s, &ClientSession::winnerAnnounced, this,
            [this](const QString& names) { say(protocol::toClient::Winner{names}.line()); });
    connect(s, &ClientSession::chatReceived, this, &Narrator::onChat);
}

void Narrator::say(const QString& text)
{
    if (m_session.tellsNews())
        emit said(text);
}

QString Narrator::nameOf(int seat) const
{
    return rules::isSeat(seat) ? m_session.seat(seat).name : QString();
}

QString Narrator::boardTurn() const
{
    const int seat = m_session.model().whoseturn;
    if (!rules::isSeat(seat))
        return {};
    if (!m_session.isMyTurn())
        return nameOf(seat) + QStringLiteral("'s turn.");
    int left = 0;
    for (int die = 1; die <= game::kDicePerThrow; ++die)
        left += m_session.model().dieAvailable(die) ? 1 : 0;
    if (left == 0)
        return QStringLiteral("Your turn.");
    return left == 1 ? QStringLiteral("Your turn, 1 die left.") : QStringLiteral("Your turn, %1 dice left.").arg(left);
}

void Narrator::tellPlaced(int dart, int place)
{
    say(QStringLiteral("Dart %1, place %2.").arg(dart).arg(place));
}

void Narrator::onTurn(int seat)
{
    say(m_session.myseat() == seat ? QStringLiteral("Your turn.") : nameOf(seat) + QStringLiteral("'s turn."));
}

void Narrator::onThrow()
{
    const GameModel& model = m_session.model();
    const QList<int> faces(model.turn.values.begin(), model.turn.values.end());
    if (faces.value(0) == 0)
        return; // blank dice: the turn as a rejoin finds it, before the throw
    const QString who = m_session.isMyTurn() ? QStringLiteral("You") : nameOf(model.whoseturn);
    say(QStringLiteral("%1 threw %2.").arg(who, spoken::faces(faces)));
}

void Narrator::onDart(int seat, int dart, const DartResult& result)
{
    QString text = QStringLiteral("%1 dart %2: %3")
                       .arg(whose(nameOf(seat), seat == m_session.myseat()))
                       .arg(dart)
                       .arg(spoken::dartResult(result));
    if (const std::optional<int> target = result.target())
        text += QStringLiteral(", now ") + spoken::marks(rules::marksOn(m_session.seat(seat).marks, *target));
    say(text + QLatin1Char('.'));
}

void Narrator::onScored(int seat)
{
    if (!m_session.model().pointsGame)
        return;
    const int points = m_session.seat(seat).points;
    say(seat == m_session.myseat() ? QStringLiteral("You have %1 points.").arg(points)
                                   : QStringLiteral("%1 has %2 points.").arg(nameOf(seat)).arg(points));
}

void Narrator::onChat(const ReceivedChat& chat)
{
    // The player's own lines come back from the host; he knows what he said.
    if (chat.sender != m_session.myseat())
        say((chat.name + chat.text).simplified());
}

} // namespace velmora
