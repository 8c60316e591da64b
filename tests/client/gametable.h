#pragma once

// A table of running copies of the game in one test process: a host and the
// windows that joined it, each a real main window over loopback, played as
// players play them with known dice. The game loop plays whole games to the
// winner and checks at every person's turn that every window shows the board
// the host holds (the checks in tablechecks.h, the reading of a window in
// windowreading.h).

#include "tablechecks.h"

#include <algorithm>
#include <functional>

namespace velmora::testing {

// ---- Known dice ------------------------------------------------------------------------

// Dice that throw chosen darts. Each seat has a list of turns of three dart
// sums (12 misses, 15..20, 21 a bull, 24 a double bull), made of dice of 3 or
// more, so that placing them by die number (the computer's way, and auto
// place) keeps every dart's four dice together. A seat whose list has run out
// throws misses; team partners share one list, as they share one board.
class DiceScript {
public:
    using Turn = std::array<int, 3>;

    DiceScript& plan(int seat, const QList<Turn>& turns)
    {
        m_state->turns[seat] = turns;
        return *this;
    }
    DiceScript& share(int seat, int withSeat)
    {
        m_state->listOf[seat] = withSeat;
        return *this;
    }
    // The host's dice follow the script from now on.
    void install(TServer& server) const
    {
        const GameEngine* engine = &server.engine();
        server.setDiceRoller([state = m_state, engine] {
            if (state->call % 12 == 0) {
                const int list = state->listOf[engine->currentSeat()];
                const int turn = state->thrown[list]++;
                const Turn darts = state->turns[list].value(turn, Turn{12, 12, 12});
                for (int dart = 0; dart < 3; ++dart)
                    for (int k = 0; k < 4; ++k)
                        state->dice[dart * 4 + k] = diceFor(darts[dart])[k];
            }
            return state->dice[state->call++ % 12];
        });
    }
    // Turns thrown so far from a seat's list.
    int thrown(int seat) const { return m_state->thrown[m_state->listOf[seat]]; }

    // Four dice of 3 or more that add up to `sum` (12 to 24).
    static std::array<int, 4> diceFor(int sum)
    {
        std::array<int, 4> dice{3, 3, 3, 3};
        int extra = std::clamp(sum, 12, 24) - 12;
        for (int& die : dice) {
            const int add = std::min(3, extra);
            die += add;
            extra -= add;
        }
        return dice;
    }
    // Seven turns that close all seven targets: the first double bull gives
    // two marks, the second closes the bull and scores 25, the last bull
    // scores 25 again (while an opponent is open on the bull): 50 points.
    static QList<Turn> closingTurns()
    {
        return {{15, 16, 17}, {18, 19, 20}, {24, 24, 15}, {16, 17, 18}, {19, 20, 15}, {16, 17, 18}, {19, 20, 21}};
    }

private:
    struct State {
        std::array<QList<Turn>, 5> turns{};
        std::array<int, 5> listOf{0, 1, 2, 3, 4};
        std::array<int, 5> thrown{};
        std::array<int, 12> dice{};
        int call = 0;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// ---- The table ---------------------------------------------------------------------------

class Table : public TableChecks {
public:
    // Called at a person's turn before the throw; true when it took the turn over.
    using BeforeThrow = std::function<bool(GameInstance& mover)>;

    explicit Table(int botDelayMs = 1)
        : m_botDelayMs(botDelayMs)
    {
    }
    ~Table()
    {
        // Joiners go first: a host leaving first would close every other window.
        while (!m_seats.empty())
            m_seats.pop_back();
    }
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Hosts a game on a free port and waits until its player is in.
    GameInstance& host(const QString& name)
    {
        return add(name, {name, QStringLiteral("127.0.0.1"), QStringLiteral("true")}, 0);
    }
    // Joins the host (or whatever listens on `port`, a link to it) and waits
    // until the host's window knows the newcomer and every window lists the
    // same seats and spectators.
    GameInstance& join(const QString& name, quint16 port = 0)
    {
        return joinWith(name, {name, QStringLiteral("127.0.0.1"), QStringLiteral("false")},
                        port != 0 ? port : hostWindow().server.port());
    }
    // The same with the game's own parameters, as a lobby passes them (an
    // address with its port), holding its connection to the lobby's port.
    GameInstance& joinWith(const QString& name, const QStringList& parameters, quint16 port = 0, quint16 lobbyPort = 0)
    {
        GameInstance& g = add(name, parameters, port, lobbyPort);
        const auto known = [&] {
            const GameInstance& h = hostWindow();
            return (seatOf(h, name) > 0 || h.hasLine(name + QStringLiteral(" is spying."))) &&
                   rosterMismatch().isEmpty();
        };
        if (!waitUntil(known))
            QTest::qFail(qPrintable(name + QStringLiteral(" came in, but: ") + rosterMismatch()), __FILE__, __LINE__);
        return g;
    }
    // Closes a window; the copy of the game goes with it once the host's window has seen it leave.
    void leave(const QString& name)
    {
        GameInstance& g = (*this)[name];
        g.chat.close();
        const auto gone = [&] {
            for (const QString& entry : hostWindow().spies.entries())
                if (entry.endsWith(QStringLiteral(": ") + name))
                    return false;
            return seatOf(hostWindow(), name) == 0;
        };
        QVERIFY2(waitUntil(gone), qPrintable(name + QStringLiteral(" never left the host's window")));
        forget(name);
    }
    // Drops a window that has already closed (a removed player's).
    void forget(const QString& name)
    {
        std::erase_if(m_seats, [&](const auto& entry) { return entry.first == name; });
    }

    // The window that is offered the throw and plays it itself, if any.
    GameInstance* mover() const
    {
        for (const auto& entry : m_seats)
            if (throwOffered(*entry.second) && !justWatchChecked(*entry.second))
                return entry.second.get();
        return nullptr;
    }

    // Throws for the mover and waits until every window shows the host's dice and plays the throw.
    void throwFor(GameInstance& mover)
    {
        const auto heard = soundsSoFar();
        mover.click(QStringLiteral("button_throwdarts"));
        QVERIFY(waitUntil([&] { return engine().phase() == GameEngine::Phase::Placing; }));
        m_thrown = QList<int>(engine().turn().values.begin(), engine().turn().values.end());
        VERIFY_SOON(diceMismatch({}));
        VERIFY_SOON(soundMismatch(heard, QStringLiteral("dice1")));
    }
    // Places dice by mouse, one click each, checking every window after each:
    // whatever the order, they fill dart 1, then 2, then 3. A finished dart
    // is heard and shown on the dartboard everywhere.
    void placeByHand(GameInstance& mover, const QList<int>& dice, Placed& placed)
    {
        for (int die : dice) {
            const auto heard = soundsSoFar();
            const int k = int(placed.size());
            QTest::mouseClick(mover.control(QStringLiteral("image_dice%1").arg(die)), Qt::LeftButton);
            placed.append({die, k / 4 + 1, k % 4 + 1});
            VERIFY_SOON(diceMismatch(placed));
            if (k % 4 != 3)
                continue;
            int sum = 0;
            for (const auto& p : placed.mid(k - 3))
                sum += m_thrown.value(p[0] - 1);
            VERIFY_SOON(soundMismatch(heard, dartSound(sum)));
            for (const auto& [name, g] : m_seats)
                QVERIFY2(shown(*g, QStringLiteral("image_throwndart%1").arg(k / 4 + 1)), qPrintable(name));
        }
    }
    // Auto place for what is left; with checkLastDice, waits until every
    // window shows all twelve dice on the darts.
    void autoplace(GameInstance& mover, Placed placed, bool checkLastDice)
    {
        mover.click(QStringLiteral("button_autoplace"));
        if (!checkLastDice)
            return;
        // Auto place takes the dice left by number (none of the script's is below 3).
        for (int die = 1; die <= 12; ++die) {
            if (std::any_of(placed.begin(), placed.end(), [die](const auto& p) { return p[0] == die; }))
                continue;
            const int k = int(placed.size());
            placed.append({die, k / 4 + 1, k % 4 + 1});
        }
        VERIFY_SOON(diceMismatch(placed));
    }
    // A person's turn: the throw, dart 1 by mouse in a mixed order, then auto place.
    void playTurn(GameInstance& mover, bool checkLastDice)
    {
        Placed placed;
        throwFor(mover);
        if (!QTest::currentTestFailed())
            placeByHand(mover, {3, 1, 4, 2}, placed);
        if (!QTest::currentTestFailed())
            autoplace(mover, placed, checkLastDice);
    }

    // Plays on until a winner is shown: the people's turns by the test, the
    // computer's by the host. At every person's turn the host waits for him,
    // so every window has caught up: all show the host's board then.
    // checkLastDice also checks each turn's last placements in every window:
    // only where a person always plays next, so the board stands still after a turn.
    void playToWinner(bool checkLastDice = false, const BeforeThrow& beforeThrow = {})
    {
        for (int turns = 0; turns < 80; ++turns) {
            GameInstance* next = nullptr;
            const bool moved = waitUntil([&] {
                next = mover();
                return next || !winnerShown(hostWindow()).isEmpty();
            });
            QVERIFY2(moved, "nobody was offered a throw and no winner was shown");
            if (!next)
                return;
            VERIFY_SOON(boardMismatch());
            VERIFY_SOON(turnLineMismatch(*next));
            const bool takenOver = beforeThrow && beforeThrow(*next);
            if (QTest::currentTestFailed())
                return;
            if (takenOver)
                continue;
            playTurn(*next, checkLastDice);
            if (QTest::currentTestFailed())
                return;
        }
        QFAIL("no winner after 80 turns of people");
    }

private:
    GameInstance& add(const QString& name, const QStringList& parameters, quint16 port, quint16 lobbyPort = 0)
    {
        m_seats.emplace_back(name, std::make_unique<GameInstance>(parameters, port, m_botDelayMs, lobbyPort));
        GameInstance& g = *m_seats.back().second;
        if (!waitUntil([&] { return g.hasLine(QStringLiteral("You are Connected.")); }))
            QTest::qFail(qPrintable(name + QStringLiteral(" never got in")), __FILE__, __LINE__);
        return g;
    }

    int m_botDelayMs;
};

} // namespace velmora::testing
