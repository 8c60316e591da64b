#include "controls/picturebutton.h"

#include <QPainter>

namespace velmora {

PictureButton::PictureButton(art::PictureButton picture, const QString& text, QWidget* parent)
    : QAbstractButton(parent)
    , m_picture(picture)
{
    setText(text);
    setAttribute(Qt::WA_Hover); // repaint when the pointer enters or leaves
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    resize(sizeHint());
}

QSize PictureButton::sizeHint() const
{
    return art::pictureButtonSize(m_picture);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    art::ButtonState state = art::ButtonState::Normal;
    if (isDown())
        state = art::ButtonState::Pressed;
    else if (underMouse())
        state = art::ButtonState::Hover;
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::pictureButton(m_picture, state, devicePixelRatioF()));
}

} // namespace velmora
