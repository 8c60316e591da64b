#pragma once

// The windows at a table and the checks that they agree with each other and
// with the host's game: seats, spectators, boards, dice, the turn line,
// sounds, chat lines and the winner. Only reads; Table (gametable.h) plays.

#include "windowreading.h"

#include <array>
#include <map>
#include <memory>
#include <vector>

namespace velmora::testing {

class TableChecks {
public:
    using Placed = QList<std::array<int, 3>>; // (die, dart, slot) in the order placed
    using Heard = std::map<const GameInstance*, qsizetype>;

    GameInstance& hostWindow() const { return *m_seats.front().second; }
    const GameEngine& engine() const { return hostWindow().server.engine(); }
    QStringList names() const
    {
        QStringList out;
        for (const auto& entry : m_seats)
            out << entry.first;
        return out;
    }
    GameInstance& operator[](const QString& name) const
    {
        for (const auto& [n, g] : m_seats)
            if (n == name)
                return *g;
        qFatal("no window of %s at the table", qPrintable(name));
    }
    QString nameOf(const GameInstance& g) const
    {
        for (const auto& [name, w] : m_seats)
            if (w.get() == &g)
                return name;
        return {};
    }
    // The first window whose seat names or spectator list differ from the host's window's.
    QString rosterMismatch() const
    {
        const GameInstance& h = hostWindow();
        for (const auto& [name, g] : m_seats) {
            for (int seat = 1; seat <= 4; ++seat)
                if (seatName(*g, seat) != seatName(h, seat))
                    return QStringLiteral("%1's window names seat %2 %3").arg(name).arg(seat).arg(seatName(*g, seat));
            // Each lists itself first, then those who were there before.
            if (sorted(g->spies.entries()) != sorted(h.spies.entries()))
                return QStringLiteral("%1's window lists the spectators %2").arg(name, g->spies.entries().join(u','));
        }
        return {};
    }
    // What differs between a window and the host: seat names against the
    // host's window, marks and points against the host's game. Empty when every
    // window agrees.
    QString boardMismatch() const
    {
        const GameEngine& e = engine();
        for (const auto& [name, g] : m_seats) {
            for (int seat = 1; seat <= 4; ++seat) {
                const QString where = QStringLiteral("%1's window, seat %2: ").arg(name).arg(seat);
                if (seatName(*g, seat) != seatName(hostWindow(), seat))
                    return where + QStringLiteral("name %1, host shows %2")
                                       .arg(seatName(*g, seat), seatName(hostWindow(), seat));
                if (marks(*g, seat) != e.seat(seat).marks)
                    return where + QStringLiteral("marks %1, host has %2")
                                       .arg(marksText(marks(*g, seat)), marksText(e.seat(seat).marks));
                if (points(*g, seat) != QString::number(e.seat(seat).score))
                    return where +
                           QStringLiteral("points %1, host has %2").arg(points(*g, seat)).arg(e.seat(seat).score);
                if (e.inPlay(seat) && shown(*g, QStringLiteral("label_score%1").arg(seat)) != e.isPointsGame())
                    return where + QStringLiteral("points shown in a game with points %1").arg(e.isPointsGame());
            }
        }
        return {};
    }
    // What differs between a window and the host's dice of this turn (as
    // thrown: the host forgets them when the next turn opens): every window
    // shows the twelve faces; each die of `placed` (die, dart, slot) lies in
    // its slot, the others are still to be placed; each dart shows the sum of
    // its dice so far.
    QString diceMismatch(const Placed& placed) const
    {
        const QList<int>& hostFaces = m_thrown;
        std::array<int, 3> sums{};
        std::array<bool, 3> used{};
        for (const auto& p : placed) {
            sums[p[1] - 1] += hostFaces.value(p[0] - 1);
            used[p[1] - 1] = true;
        }
        for (const auto& [name, g] : m_seats) {
            const QString where = name + QStringLiteral("'s window: ");
            if (faces(*g) != hostFaces)
                return where + QStringLiteral("dice faces differ from the host's");
            int available = 0;
            for (int die = 1; die <= 12; ++die)
                available += g->dice()->dieAvailable(die) ? 1 : 0;
            if (available != 12 - placed.size())
                return where + QStringLiteral("%1 dice available, %2 expected").arg(available).arg(12 - placed.size());
            for (const auto& p : placed)
                if (!dieOnSlot(*g, p[0], p[1], p[2]))
                    return where + QStringLiteral("die %1 not on dart %2 slot %3").arg(p[0]).arg(p[1]).arg(p[2]);
            for (int dart = 1; dart <= 3; ++dart) {
                const QString label = text(*g, QStringLiteral("label_dart%1").arg(dart));
                if (label != dartText(sums[dart - 1], !used[dart - 1]))
                    return where + QStringLiteral("dart %1 shows %2").arg(dart).arg(label);
            }
        }
        return {};
    }
    // Whose turn every window names: "Your Turn." for the mover, his name
    // for the rest, spectators included.
    QString turnLineMismatch(const GameInstance& next) const
    {
        const QString others = seatName(hostWindow(), engine().currentSeat()) + QStringLiteral("'s turn.");
        for (const auto& [name, g] : m_seats) {
            const QString expected = g.get() == &next ? QStringLiteral("Your Turn.") : others;
            if (text(*g, QStringLiteral("label_turn")) != expected)
                return QStringLiteral("%1's window: turn line '%2', expected '%3'")
                    .arg(name, text(*g, QStringLiteral("label_turn")), expected);
        }
        return {};
    }
    // Every window shows the same winner, the line, the final board, and no throw.
    void checkWinner(const QString& winner, bool team = false)
    {
        const QString line =
            winner + (team ? QStringLiteral(" have Won the Game!") : QStringLiteral(" has Won the Game!"));
        for (const auto& [name, g] : m_seats) {
            QVERIFY2(waitUntil([&] { return winnerShown(*g) == winner && g->hasLine(line); }),
                     qPrintable(QStringLiteral("%1's window shows winner '%2'").arg(name, winnerShown(*g))));
            QCOMPARE(text(*g, QStringLiteral("label_winner1")), winner);
            QVERIFY(!throwOffered(*g));
            QVERIFY(!shown(*g, QStringLiteral("button_autoplace")));
            QCOMPARE(shown(*g, QStringLiteral("button_start")), g.get() == &hostWindow());
            QVERIFY(g->sounds.contains(QStringLiteral("winner")));
        }
        VERIFY_SOON(boardMismatch());
        QVERIFY(!engine().isRunning());
    }
    Heard soundsSoFar() const
    {
        Heard heard;
        for (const auto& entry : m_seats)
            heard[entry.second.get()] = entry.second->sounds.size();
        return heard;
    }
    // Which window has not played `sound` since `heard`.
    QString soundMismatch(const Heard& heard, const QString& sound) const
    {
        for (const auto& [name, g] : m_seats) {
            const auto since = heard.find(g.get());
            if (since != heard.end() && !g->sounds.mid(since->second).contains(sound))
                return QStringLiteral("%1's window did not play %2").arg(name, sound);
        }
        return {};
    }
    static QString dartSound(int sum)
    {
        if (sum == 24)
            return QStringLiteral("dbull");
        if (sum > 20)
            return QStringLiteral("bull");
        return sum >= 15 ? QStringLiteral("wav%1").arg(sum) : QStringLiteral("miss");
    }
    // The first window that does not show `line`, as a text; empty when all do.
    QString lineMissing(const QString& line) const
    {
        for (const auto& [name, g] : m_seats)
            if (!g->hasLine(line))
                return QStringLiteral("%1's window lacks '%2'").arg(name, line);
        return {};
    }
    // True when every window satisfies `ready`.
    template <typename Ready> bool everyWindow(Ready&& ready) const
    {
        for (const auto& entry : m_seats)
            if (!ready(*entry.second))
                return false;
        return true;
    }

protected:
    TableChecks() = default;
    ~TableChecks() = default;

    static QStringList sorted(QStringList list)
    {
        list.sort();
        return list;
    }
    static QString marksText(const rules::Marks& m)
    {
        QStringList out;
        for (int v : m)
            out << QString::number(v);
        return out.join(u',');
    }

    std::vector<std::pair<QString, std::unique_ptr<GameInstance>>> m_seats;
    QList<int> m_thrown; // the faces of the last throw by a person
};

} // namespace velmora::testing
