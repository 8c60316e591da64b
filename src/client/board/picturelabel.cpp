#include "picturelabel.h"

#include <QPainter>

namespace velmora {

PictureLabel::PictureLabel(const QString& objectName, Picture picture, QSize logicalSize, QWidget* parent)
    : QWidget(parent)
    , m_picture(std::move(picture))
    , m_logicalSize(logicalSize)
{
    setObjectName(objectName);
    if (m_logicalSize.isValid())
        resize(m_logicalSize);
}

PictureLabel::PictureLabel(const QString& objectName, Picture picture, QWidget* parent)
    : PictureLabel(objectName, std::move(picture), QSize(), parent)
{
}

QSize PictureLabel::sizeHint() const
{
    return m_logicalSize.isValid() ? m_logicalSize : size();
}

void PictureLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture(devicePixelRatioF()));
}

} // namespace velmora
