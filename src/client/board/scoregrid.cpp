#include "scoregrid.h"

#include "art/artwork.h"
#include "boardaccessibility.h"
#include "core/spokenwords.h"
#include "readername.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

namespace velmora {

ScoreGrid::ScoreGrid(int seat, QWidget* parent)
    : QWidget(parent)
    , m_seat(seat)
{
    setObjectName(QStringLiteral("stringgrid_player%1").arg(seat));
    installBoardAccessibility();
    setFixedSize(columns * cell, rows * cell);
    setToolTip(QStringLiteral("Click to learn how to read the score boards."));
    setCursor(Qt::PointingHandCursor);
    setPlayerName(QStringLiteral("Seat %1").arg(seat));
}

void ScoreGrid::setMarks(const rules::Marks& marks)
{
    for (int c = 0; c < columns; ++c) {
        const int count = qBound(0, marks[c], game::kClosed);
        if (count == m_marks[c])
            continue;
        m_marks[c] = count;
        QAccessibleEvent event(this, QAccessible::NameChanged);
        event.setChild(c);
        QAccessible::updateAccessibility(&event);
    }
    update();
}

void ScoreGrid::setPlayerName(const QString& name, bool mine)
{
    m_playerName = name;
    m_mine = mine;
    setReaderName(this, mine ? QStringLiteral("your score board") : QStringLiteral("%1's score board").arg(name));
}

QString ScoreGrid::reading(int column) const
{
    if (column < 0 || column >= columns)
        return {};
    return QStringLiteral("%1 %2, %3")
        .arg(m_mine ? QStringLiteral("Your") : m_playerName + QStringLiteral("'s"),
             spoken::target(game::kFirstTarget + column), spoken::marks(m_marks[column]));
}

void ScoreGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const qreal dpr = devicePixelRatioF();
    for (int c = 0; c < columns; ++c) {
        painter.drawPixmap(c * cell, 0, art::scoreHeading(c, dpr));
        painter.drawPixmap(c * cell, cell, art::scoreLight(m_marks[c], dpr));
    }
}

void ScoreGrid::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void ScoreGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace velmora
