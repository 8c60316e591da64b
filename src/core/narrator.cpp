#include "core/narrator.h"

#include "core/clientsession.h"
#include "core/receivedchat.h"
#include "core/spokenwords.h"
#include "media/spokenchat.h"


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
    connect(s, &ClientSession::gameStarted, this, [this] { m_winner.clear(); });
    connect(s, &ClientSession::winnerAnnounced, this, [this](const QString& names) {
        m_winner = winnerWords(names);
        say(m_winner);
    });
    connect(s, &ClientSession::chatReceived, this, &Narrator::onChat);
}

void Narrator::say(const QString& text)
{
    if (!m_session.tellsNews())
        return;
    if (m_history.size() == kRemembered)
        m_history.removeFirst();
    m_history << text;
    m_stepsBack = -1;
    emit said(text);
}

// Said when asked: not news, so not remembered, and said even while a rejoin catches up.
void Narrator::answer(const QString& text)
{
    emit said(text);
}

void Narrator::repeatLast()
{
    if (m_history.isEmpty()) {
        answer(QStringLiteral("Nothing has been said yet."));
        return;
    }
    m_stepsBack = qMin(m_stepsBack + 1, int(m_history.size()) - 1);
    answer(m_history.at(m_history.size() - 1 - m_stepsBack));
}

void Narrator::tellScores()
{
    m_stepsBack = -1; // the next repeat starts from the newest again
    const GameModel& model = m_session.model();
    QStringList seats;
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        const SeatState& s = model.seat(seat);
        if (s.kind == SeatKind::Empty)
            continue;
        QString words = (seat == m_session.myseat() ? QStringLiteral("You") : s.name) + QStringLiteral(", ") +
                        spoken::board(s.marks);
        if (model.pointsGame)
            words += QStringLiteral(", %1 points").arg(s.points);
        seats << words + QLatin1Char('.');
    }
    answer(seats.isEmpty() ? QStringLiteral("Nobody is seated yet.") : seats.join(QLatin1Char(' ')));
}

void Narrator::tellTurn()
{
    m_stepsBack = -1;
    const GameModel& model = m_session.model();
    if (!m_winner.isEmpty()) {
        answer(QStringLiteral("The game is over. ") + m_winner);
        return;
    }
    if (!rules::isSeat(model.whoseturn)) {
        answer(QStringLiteral("No game is being played."));
        return;
    }
    QString text =
        m_session.isMyTurn() ? QStringLiteral("Your turn") : nameOf(model.whoseturn) + QStringLiteral("'s turn");
    if (model.turn.values[0] == 0) {
        answer(text + QStringLiteral(", the darts are not thrown yet."));
        return;
    }
    const int left = model.diceLeft();
    text += left == 1 ? QStringLiteral(", 1 die left to place.") : QStringLiteral(", %1 dice left to place.").arg(left);
    answer(text + dartsSoFar());
}

// " Dart 1 hits 17, dart 2 misses with 9." for this turn's complete darts.
QString Narrator::dartsSoFar() const
{
    const GameModel& model = m_session.model();
    QStringList darts;
    for (int dart = 1; dart <= game::kDarts; ++dart)
        if (rules::dartComplete(model.turn.places, dart))
            darts << QStringLiteral("dart %1 %2").arg(dart).arg(spoken::dartHit(model.darts[dart - 1]));
    if (darts.isEmpty())
        return {};
    QString text = darts.join(QStringLiteral(", "));
    text[0] = text[0].toUpper();
    return QLatin1Char(' ') + text + QLatin1Char('.');
}

QString Narrator::nameOf(int seat) const
{
    return rules::isSeat(seat) ? m_session.seat(seat).name : QString();
}

// "Ann won the game!", "Dask and Ann won the game!"; the player himself is "You".
QString Narrator::winnerWords(const QString& names) const
{
    QStringList winners = names.split(QStringLiteral(" and "));
    const int me = m_session.myseat();
    if (rules::isSeat(me) && winners.removeOne(m_session.seat(me).name))
        winners.prepend(QStringLiteral("You"));
    return winners.join(QStringLiteral(" and ")) + QStringLiteral(" won the game!");
}

QString Narrator::boardTurn() const
{
    const int seat = m_session.model().whoseturn;
    if (!rules::isSeat(seat))
        return {};
    if (!m_session.isMyTurn())
        return nameOf(seat) + QStringLiteral("'s turn.");
    const int left = m_session.model().diceLeft();
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
    QString text = QStringLiteral("%1 dart %2 %3")
                       .arg(whose(nameOf(seat), seat == m_session.myseat()))
                       .arg(dart)
                       .arg(spoken::dartHit(result));
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
        say(spoken::chatLine(chat.name + chat.text));
}

} // namespace velmora
