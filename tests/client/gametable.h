#pragma once

// A table of running copies of the game in one test process: a host and the
// windows that joined it, each a real main window over loopback, played as
// players play them. What a window shows is read from its controls by their
// object names; the game loop plays whole games to the winner and checks at
// every person's turn that every window shows the board the host holds.

#include "client/board/scoregrid.h"
#include "gameinstance.h"
#include "strictwarnings.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace velmora::testing {

// The longest wait for one expected state: the machine may be slow and loaded.
inline constexpr int kStepMs = 20000;

template <typename Ready> [[nodiscard]] bool waitUntil(Ready&& ready, int timeoutMs = kStepMs)
{
    return QTest::qWaitFor(std::forward<Ready>(ready), timeoutMs);
}

// Waits for a state described by a function that tells what is still wrong
// (empty when all is well), and fails with that text.
#define VERIFY_SOON(mismatch)                                                                                          \
    do {                                                                                                               \
        const bool settled_ = velmora::testing::waitUntil([&] { return (mismatch).isEmpty(); });                       \
        QVERIFY2(settled_, qPrintable(mismatch));                                                                      \
    } while (false)

// ---- What one window shows ---------------------------------------------------------------

inline QString text(const GameInstance& g, const QString& labelName)
{
    const auto* label = g.control<QLabel>(labelName);
    return label ? label->text() : QStringLiteral("<no %1>").arg(labelName);
}
inline bool shown(const GameInstance& g, const QString& name)
{
    const QWidget* w = g.control(name);
    return w && w->isVisible();
}
inline QString seatName(const GameInstance& g, int seat)
{
    return text(g, QStringLiteral("label_playername%1").arg(seat));
}
inline rules::Marks marks(const GameInstance& g, int seat)
{
    return g.control<ScoreGrid>(QStringLiteral("stringgrid_player%1").arg(seat))->marks();
}
inline QString points(const GameInstance& g, int seat)
{
    return text(g, QStringLiteral("label_score%1").arg(seat));
}
inline bool eyesShown(const GameInstance& g, int seat)
{
    return shown(g, QStringLiteral("image_eyes%1").arg(seat));
}
inline bool justWatchChecked(const GameInstance& g)
{
    return g.chat.findChild<QAction*>(QStringLiteral("JustWatch1"))->isChecked();
}
inline bool throwOffered(const GameInstance& g)
{
    return shown(g, QStringLiteral("button_throwdarts"));
}
// The winner's name on the winner panel; empty while the panel is hidden.
inline QString winnerShown(const GameInstance& g)
{
    return shown(g, QStringLiteral("panel_winner")) ? text(g, QStringLiteral("label_winner2")) : QString();
}
// The seat 1..4 whose name label reads `name`, 0 when none does.
inline int seatOf(const GameInstance& g, const QString& name)
{
    for (int seat = 1; seat <= 4; ++seat)
        if (seatName(g, seat) == name)
            return seat;
    return 0;
}
inline bool dieOnSlot(const GameInstance& g, int die, int dart, int slot)
{
    const QWidget* image = g.control(QStringLiteral("image_dice%1").arg(die));
    const QWidget* place = g.control(QStringLiteral("dart%1dice%2").arg(dart).arg(slot));
    return image && place && image->pos() == place->pos() && !g.dice()->dieAvailable(die);
}
inline QList<int> faces(const GameInstance& g)
{
    QList<int> out;
    for (int die = 1; die <= 12; ++die)
        out << g.dice()->dieFace(die);
    return out;
}
// A dart's value as the board writes it: "0" when empty, the sum, "Bull" or "dBull".
inline QString dartText(int sum, bool empty)
{
    if (empty)
        return QStringLiteral("0");
    if (sum == 24)
        return QStringLiteral("dBull");
    return sum > 20 ? QStringLiteral("Bull") : QString::number(sum);
}

// A paragraph of the chat view with the style of its first run and that style's colour now.
struct ShownLine {
    QString text;
    int style = -1;
    QColor colour;
    bool bold = false;
};
inline QList<ShownLine> shownLines(const GameInstance& g)
{
    const ChatView* view = g.mainchat();
    QList<ShownLine> out;
    for (int i = 0; i < view->paragraphCount(); ++i) {
        ShownLine line;
        line.text = view->paragraphText(i).simplified();
        for (const ChatRun& run : view->paragraphRuns(i)) {
            if (run.kind == ChatItemKind::Text) {
                line.style = run.style;
                line.colour = view->styleColour(run.style);
                line.bold = view->styleBold(run.style);
                break;
            }
        }
        out << line;
    }
    return out;
}

// Types a line into the chat entry and sends it with Enter.
inline void say(GameInstance& g, const QString& line)
{
    auto* entry = g.control<QLineEdit>(QStringLiteral("mychat"));
    entry->setText(line);
    QTest::keyClick(entry, Qt::Key_Return);
}

// The tally list of a window: its lists by name, and its counts.
inline QStringList tallyEntries(const GameInstance& g, const QString& listName)
{
    QStringList out;
    const auto* list = g.tally.findChild<QListWidget*>(listName);
    for (int row = 0; list && row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}
inline QString tallyCount(const GameInstance& g, const QString& labelName)
{
    const auto* label = g.tally.findChild<QLabel*>(labelName);
    return label ? label->text() : QStringLiteral("<no %1>").arg(labelName);
}
// Ticks a player of the current game in the tally list, as a click on his box does.
inline bool tickForTally(GameInstance& g, const QString& name)
{
    auto* list = g.tally.findChild<QListWidget*>(QStringLiteral("checklist"));
    const auto found = list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    list->setCurrentItem(found.first());
    found.first()->setCheckState(Qt::Checked);
    return tallyEntries(g, QStringLiteral("listbox_tally")).contains(name);
}

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

class Table {
public:
    // Called at a person's turn before the throw; true when it took the turn over.
    using BeforeThrow = std::function<bool(GameInstance& mover)>;
    using Placed = QList<std::array<int, 3>>; // (die, dart, slot) in the order placed

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

    GameInstance& hostWindow() const { return *m_seats.front().second; }
    GameInstance& operator[](const QString& name) const
    {
        for (const auto& [n, g] : m_seats)
            if (n == name)
                return *g;
        qFatal("no window of %s at the table", qPrintable(name));
    }
    QStringList names() const
    {
        QStringList out;
        for (const auto& entry : m_seats)
            out << entry.first;
        return out;
    }
    const GameEngine& engine() const { return hostWindow().server.engine(); }

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

    // The window that is offered the throw and plays it itself, if any.
    GameInstance* mover() const
    {
        for (const auto& entry : m_seats)
            if (throwOffered(*entry.second) && !justWatchChecked(*entry.second))
                return entry.second.get();
        return nullptr;
    }
    QString nameOf(const GameInstance& g) const
    {
        for (const auto& [name, w] : m_seats)
            if (w.get() == &g)
                return name;
        return {};
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

    using Heard = std::map<const GameInstance*, qsizetype>;
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

private:
    GameInstance& add(const QString& name, const QStringList& parameters, quint16 port, quint16 lobbyPort = 0)
    {
        m_seats.emplace_back(name, std::make_unique<GameInstance>(parameters, port, m_botDelayMs, lobbyPort));
        GameInstance& g = *m_seats.back().second;
        if (!waitUntil([&] { return g.hasLine(QStringLiteral("You are Connected.")); }))
            QTest::qFail(qPrintable(name + QStringLiteral(" never got in")), __FILE__, __LINE__);
        return g;
    }
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

    int m_botDelayMs;
    std::vector<std::pair<QString, std::unique_ptr<GameInstance>>> m_seats;
    QList<int> m_thrown; // the faces of the last throw by a person
};

} // namespace velmora::testing
