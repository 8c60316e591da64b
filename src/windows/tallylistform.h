#pragma once

#include "sidewindow.h"

class QListWidget;

namespace velmora {

// The tally list window. For now it only keeps the list of players in the
// current game; counting games and double bulls comes with the tally file.
class Ttallylist : public SideWindow {
    Q_OBJECT
public:
    explicit Ttallylist(QWidget* parent = nullptr);

    void clearChecklist();
    void addToChecklist(const QString& name, bool ticked);
    QStringList checklist() const;
    // Whether a player is being tallied; nobody is yet.
    bool isTallied(const QString& name) const;

    // Counts a finished game ("addtomine" when the user won).
    void addgame(const QString& winner);
    // Counts a double bull thrown by the user.
    void countDoubleBull();

    // What the board last asked to count, until the tally keeps its file.
    QString lastGame() const { return m_lastGame; }
    int doubleBulls() const { return m_doubleBulls; }

private:
    QString m_lastGame;
    int m_doubleBulls = 0;
    QListWidget* m_checklist = nullptr;
};

} // namespace velmora
