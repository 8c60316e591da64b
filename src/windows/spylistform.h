#pragma once

#include "sidewindow.h"

class QAction;
class QListWidget;
class QMenu;

namespace velmora {

// The spectator ("spy") list: one entry "<number>: <name>" per spectator, and
// on the host a menu that asks to remove the spectator under the pointer.
class Tspylist : public SideWindow {
    Q_OBJECT
public:
    explicit Tspylist(QWidget* parent = nullptr);

    void addEntry(const QString& entry);
    // Removes the entry with exactly this text; false when there is none.
    bool removeEntry(const QString& entry);
    QStringList entries() const;
    bool isEmpty() const;

    // "Remove From Game" is offered only once this instance hosts.
    void setRemoveEnabled(bool enabled);
    // Row of the entry under the pointer at its last move over the list, -1 when none.
    int pointedIndex() const { return m_pointed; }

signals:
    // "Remove From Game" on an entry whose number reads as an integer.
    void kickRequested(int number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void kickPointed();

    QListWidget* m_list = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_kick = nullptr;
    int m_pointed = -1;
};

} // namespace velmora
