// The seats on the board, the spectators, and who is just watching.

#include "chatarea.h"
#include "client/board/dicepanel.h"
#include "client/board/picturelabel.h"
#include "client/board/readername.h"
#include "client/board/scoregrid.h"
#include "core/clientsession.h"
#include "core/gamecore.h"
#include "tchat.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace velmora {

namespace {

QString spectatorEntry(const Spectator& spectator)
{
    return QStringLiteral("%1: %2").arg(spectator.number).arg(spectator.name);
}

// What a screen reader says of a seat: "Seat 2, Borl, computer".
QString seatReading(int seat, const SeatState& s, bool mine)
{
    QString reading = QStringLiteral("Seat %1, ").arg(seat);
    if (s.kind == SeatKind::Empty)
        return reading + QStringLiteral("empty");
    reading += s.name;
    // The solo player is called "You" already.
    if (mine && s.name.compare(QLatin1String("You"), Qt::CaseInsensitive) != 0)
        reading += QStringLiteral(", you");
    if (s.kind == SeatKind::Computer)
        reading += QStringLiteral(", computer");
    if (s.watching)
        reading += QStringLiteral(", just watching");
    return reading;
}

} // namespace

void Tchat::onJoined()
{
    m_chatArea->entry()->setFocus();
}

void Tchat::showSeat(int seat)
{
    const SeatWidgets& w = m_seats[seat - 1];
    w.name->setText(m_session->seat(seat).name);
    w.name->show();
    w.points->setVisible(m_session->model().pointsGame);
    w.grid->setPlayerName(m_session->seat(seat).name, seat == m_session->myseat());
    w.grid->show();
    showSeatReading(seat);
}

void Tchat::showSeatReading(int seat)
{
    const SeatState& s = m_session->seat(seat);
    const SeatWidgets& w = m_seats[seat - 1];
    setReaderName(w.name, seatReading(seat, s, seat == m_session->myseat()));
    setReaderName(w.points, s.kind == SeatKind::Empty ? QStringLiteral("Seat %1, empty").arg(seat)
                                                      : QStringLiteral("%1, %2 points").arg(s.name).arg(s.points));
}

void Tchat::showWatching(int seat)
{
    const bool watching = m_session->seat(seat).watching;
    m_seats[seat - 1].eyes->setVisible(watching);
    showSeatReading(seat);
    if (seat != m_session->myseat())
        return;
    m_justWatch->setChecked(watching);
    // Taking the seat back from the computer in the middle of a turn: the
    // dice it has not placed yet are the player's again.
    m_dice->setAutoplaceVisible(m_session->mayPlaceDice());
}

void Tchat::showMarks(int seat)
{
    m_seats[seat - 1].grid->setMarks(m_session->seat(seat).marks);
}

void Tchat::showPoints(int seat)
{
    m_seats[seat - 1].points->setText(QString::number(m_session->seat(seat).points));
    showSeatReading(seat);
}

void Tchat::onSpectatorJoined(const Spectator& spectator)
{
    if (m_windows.spies)
        m_windows.spies->addEntry(spectatorEntry(spectator));
}

void Tchat::onSpectatorLeft(const Spectator& spectator)
{
    if (m_windows.spies)
        m_windows.spies->removeEntry(spectatorEntry(spectator));
}

void Tchat::onSeatMenuRequested(int seat, const QPoint& globalPos)
{
    // Only the host may remove players or set another seat to watching; a
    // seat nobody holds has nobody to remove.
    const bool host = m_session->isHost();
    m_seatMenu.remove->setEnabled(host && m_session->seat(seat).kind == SeatKind::Person);
    m_seatMenu.setWatching->setEnabled(host);
    m_seatMenu.unsetWatching->setEnabled(host);
    m_seatMenu.seat = seat;
    m_seatMenu.menu->popup(globalPos);
}

void Tchat::rebuildTallyChecklist()
{
    Ttallylist* tally = m_windows.tally;
    if (!tally)
        return;
    tally->clearChecklist();
    for (const GameCore::TallyPlayer& player : m_core.tallyChecklist())
        tally->addToChecklist(player.name, player.tallied);
}

} // namespace velmora
