#pragma once

#include "sidewindow.h"

namespace velmora {

class TickBox;

// The host's game start dialog: points game or not, team game or not.
// Starting only asks the main window to send the start; this dialog sends nothing.
class Tgamestart : public SideWindow {
    Q_OBJECT
public:
    explicit Tgamestart(QWidget* parent = nullptr);

    // Sets the tick box of that object name to state 0 or 1; any other name is ignored.
    void changebox(const QString& componentName, int state);
    int pointsState() const;
    int teamState() const;

signals:
    // Start pressed: the main window sends the start command with these states.
    void startRequested(int team, int points);
    // Emitted right after startRequested, so the main window can save the points option.
    void optionsChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void boxClicked(TickBox* box);
    void startClicked();

    TickBox* m_points = nullptr;
    TickBox* m_team = nullptr;
};

} // namespace velmora
