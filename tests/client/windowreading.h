#pragma once

// What one game window shows, read from its controls by their object names,
// and the waits for an expected state that every table test uses.

#include "client/board/scoregrid.h"
#include "gameinstance.h"
#include "strictwarnings.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

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

} // namespace velmora::testing
