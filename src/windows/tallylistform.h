#pragma once

#include "records/tallybook.h"
#include "sidewindow.h"

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace velmora {

class TSelButton;

// The tally list window: the players of the current game, the tallied
// opponents, the local player's totals and one opponent's counts, all of
// them from the tally book it shows. The window never writes the book: a
// tick, an untick or a reset the player confirmed is asked for through a
// signal, whoever owns the book does it, and the window shows the book
// again whenever the book says it changed.
class Ttallylist : public SideWindow {
    Q_OBJECT
public:
    using Reporter = std::function<void(const QString& text)>;
    // Asks a yes/no question and calls answer with the reply, now or later.
    using Confirmer = std::function<void(const QString& question, std::function<void(bool yes)> answer)>;

    explicit Ttallylist(const TallyBook& book, QWidget* parent = nullptr);
    ~Ttallylist() override;

    // Errors are shown through the reporter, questions through the
    // confirmer; both default to message boxes that do not block the loop.
    void setMessageReporter(Reporter reporter) { m_report = std::move(reporter); }
    void setConfirmer(Confirmer confirmer) { m_confirm = std::move(confirmer); }

    // The players of the current game, as the main window lists them.
    void clearChecklist();
    void addToChecklist(const QString& name, bool ticked);
    QStringList checklist() const;
    // Whether a player is tallied (names compared without regard to case).
    bool isTallied(const QString& name) const;

    const Tally& tally() const { return m_book.tally(); }
    // The winner word of the last game counted, and the double bulls so far.
    QString lastGame() const { return m_book.lastGame(); }
    int doubleBulls() const { return tally().cell(Tally::MyDoubleBulls, 0).toInt(); }

signals:
    // The player ticked a player of the current game: start tallying him.
    void tallyRequested(const QString& name);
    // The player unticked a tallied opponent and said yes: stop tallying him.
    void untallyRequested(const QString& name);
    // The player asked for a reset and said yes: forget the whole tally.
    void resetRequested();

private:
    void buildLists();
    void buildPanels();
    void showMine();
    // Everything shown again from the book after it changed.
    void showBook();
    // The tallied list follows the book; the opponent shown stays chosen
    // while he is tallied, and the panel is emptied once he is not.
    void showTallied();
    void tickAllTallied();
    void forgetShownOpponent(bool keepName);
    void listbox_tallyClick();
    void checklistClickCheck(QListWidgetItem* item);
    void listbox_tallyClickCheck(QListWidgetItem* item);
    void button_resetClick();
    // Each player of the current game ticked when the book tallies him.
    void showChecklistTicks();
    // The opponent panel's heading: the opponent's, or a hint when the name is empty.
    void showOpponentTitle(const QString& name);
    QListWidget* makeCheckList(const QString& objectName, const QRect& geometry);
    QLabel* addCount(const QString& objectName, const QRect& geometry);

    const TallyBook& m_book;
    // The opponent whose counts the panel shows; empty when none.
    QString m_shown;
    Reporter m_report;
    Confirmer m_confirm;

    QListWidget* m_checklist = nullptr;
    QListWidget* m_listboxTally = nullptr;
    QLabel* m_mine[3] = {};
    QLabel* m_counts[8] = {};
    QLabel* m_hisName = nullptr;
    QLabel* m_hisNameTop = nullptr;
    TSelButton* m_done = nullptr;
    TSelButton* m_reset = nullptr;
};

} // namespace velmora
