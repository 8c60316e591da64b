#include "gamestartform.h"

#include "controls/focusmark.h"
#include "controls/picturebutton.h"
#include "tickbox.h"

#include <QKeyEvent>
#include <QLabel>

namespace velmora {

Tgamestart::Tgamestart(QWidget* parent)
    : SideWindow(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Tgamestart"));
    setWindowTitle(QStringLiteral("Velmora - Game Start"));
    setFixedSize(210, 196);
    setBackgroundPicture(true);

    addLabel(QStringLiteral("Game Options"), {0, 8, 210, 24}, 18, true, Qt::AlignCenter);

    m_points = new TickBox(QStringLiteral("checkbox_points"), this);
    m_points->move(30, 44);
    addLabel(QStringLiteral("Points Game"), {74, 44, 120, 36}, 14, true);
    m_team = new TickBox(QStringLiteral("checkbox_team"), this);
    m_team->move(30, 92);
    addLabel(QStringLiteral("Team Game"), {74, 92, 120, 36}, 14, true);
    // Heard by the label beside each box.
    m_points->setAccessibleName(QStringLiteral("Points Game"));
    m_team->setAccessibleName(QStringLiteral("Team Game"));
    connect(m_points, &TickBox::clicked, this, [this] { boxClicked(m_points); });
    connect(m_team, &TickBox::clicked, this, [this] { boxClicked(m_team); });

    auto* start = new PictureButton(art::PictureButton::StartGame, QStringLiteral("START GAME"), this);
    start->setObjectName(QStringLiteral("button_start"));
    start->move((width() - start->width()) / 2, 148);
    // Tab reaches it after the boxes and Space presses it; a click still leaves the focus alone.
    start->setFocusPolicy(Qt::TabFocus);
    start->setAccessibleName(QStringLiteral("Start Game"));
    markFocus(start);
    connect(start, &QAbstractButton::clicked, this, &Tgamestart::startClicked);
}

void Tgamestart::changebox(const QString& componentName, int state)
{
    if (auto* box = findChild<TickBox*>(componentName, Qt::FindDirectChildrenOnly))
        box->setState(state);
}

int Tgamestart::pointsState() const
{
    return m_points->state();
}

int Tgamestart::teamState() const
{
    return m_team->state();
}

void Tgamestart::boxClicked(TickBox* box)
{
    changebox(box->objectName(), box->state() == 0 ? 1 : 0);
}

void Tgamestart::keyPressEvent(QKeyEvent* event)
{
    // "START GAME" is the dialog's default: Enter starts with the options shown.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        startClicked();
        return;
    }
    SideWindow::keyPressEvent(event);
}

void Tgamestart::startClicked()
{
    emit startRequested(teamState(), pointsState());
    emit optionsChanged();
    hide();
}

} // namespace velmora
