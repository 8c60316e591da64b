#include "boardpanel.h"

#include "art/palette.h"

#include <QPainter>

namespace velmora {

void BoardPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setPen(art::palette::frameGreen);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace velmora
