#include "picturelabel.h"

#include <QPainter>

namespace velmora {

PictureLabel::PictureLabel(const QString& objectName, Picture picture, QWidget* parent)
    : QWidget(parent)
    , m_picture(std::move(picture))
{
    setObjectName(objectName);
    resize(m_picture(1.0).size());
}

void PictureLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture(devicePixelRatioF()));
}

} // namespace velmora
