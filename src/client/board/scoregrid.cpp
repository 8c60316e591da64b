#include "scoregrid.h"

#include "art/artwork.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora {

ScoreGrid::ScoreGrid(int seat, QWidget* parent)
    : QWidget(parent)
    , m_seat(seat)
{
    setObjectName(QStringLiteral("stringgrid_player%1").arg(seat));
    setFixedSize(columns * cell, rows * cell);
    setToolTip(QStringLiteral("Click to learn how to read the score boards."));
    setCursor(Qt::PointingHandCursor);
}

void ScoreGrid::setMarks(const rules::Marks& marks)
{
    for (int c = 0; c < columns; ++c)
        m_marks[c] = qBound(0, marks[c], game::kClosed);
    update();
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
