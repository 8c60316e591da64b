#include "scoregrid.h"

#include "art/artwork.h"
#include "art/palette.h"
#include "boardaccessibility.h"
#include "core/spokenwords.h"
#include "readername.h"

#include <QAccessible>
#include <QKeyEvent>
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
    setFocusPolicy(Qt::TabFocus);
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
    if (hasFocus()) { // the target in the keyboard's mark, two pixels of lime within its column
        painter.setPen(QPen(art::palette::textLime, 2));
        painter.drawRect(QRectF(columnRect(m_current)).adjusted(1, 1, -1, -1));
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

void ScoreGrid::keyPressEvent(QKeyEvent* event)
{
    int column = m_current;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        column = qMax(0, m_current - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        column = qMin(columns - 1, m_current + 1);
        break;
    case Qt::Key_Home:
        column = 0;
        break;
    case Qt::Key_End:
        column = columns - 1;
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit clicked();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (column != m_current) {
        m_current = column;
        update();
        tellReader();
    }
}

void ScoreGrid::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
    // After Qt's news of the board's own focus, the target in the mark is the reader's focus.
    QMetaObject::invokeMethod(this, &ScoreGrid::tellReader, Qt::QueuedConnection);
}

void ScoreGrid::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void ScoreGrid::tellReader()
{
    if (!QAccessible::isActive())
        return; // no reader listens
    if (!hasFocus())
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(m_current);
    QAccessible::updateAccessibility(&event);
}

} // namespace velmora
