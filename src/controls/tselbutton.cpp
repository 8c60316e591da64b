#include "tselbutton.h"

#include "art/fonts.h"
#include "art/palette.h"
#include "tselbuttonaccessible.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace velmora {

TSelButton::TSelButton(QWidget* parent)
    : TSelButton(QString(), parent)
{
}

TSelButton::TSelButton(const QString& caption, QWidget* parent)
    : QWidget(parent)
    , m_caption(caption)
    , m_color(palette().color(QPalette::Button))
{
    // Drawn on the parent's surface. Tab reaches it, a click does not focus it.
    TSelButtonAccessible::install();
    setAttribute(Qt::WA_Hover, false);
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    QFont font(art::arialFamily());
    font.setPointSize(8);
    setFont(font);
    resize(sizeHint());
    m_faceColour = m_color;
    m_faceCaptionColour = m_captionColor;
}

void TSelButton::useGameLook(int captionPixelHeight, Alignment alignment)
{
    QFont font(art::arialFamily());
    font.setPixelSize(captionPixelHeight);
    font.setBold(true);
    setFont(font);
    m_colorOver = Qt::black;
    m_colorOverCaption = art::palette::textLime;
    m_colorDown = Qt::black;
    m_captionColor = art::palette::silver;
    m_color = Qt::black;
    m_colorBorder = art::palette::textLime;
    m_borderWidth = 1;
    m_alignment = alignment;
    drawNormal();
}

void TSelButton::setCaption(const QString& caption)
{
    m_caption = caption;
    drawNormal();
    if (accessibleName().isEmpty()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void TSelButton::setColor(const QColor& color)
{
    m_color = color;
    drawNormal();
}

void TSelButton::setColorBorder(const QColor& color)
{
    m_colorBorder = color;
    drawNormal();
}

void TSelButton::setAlignment(Alignment alignment)
{
    m_alignment = alignment;
    drawNormal();
}

void TSelButton::setBorderWidth(int width)
{
    m_borderWidth = qMax(0, width);
    drawNormal();
}

void TSelButton::setCaptionColor(const QColor& color)
{
    m_captionColor = color;
    drawNormal();
}

void TSelButton::drawLook(Look look, const QColor& background, const QColor& captionColour)
{
    m_look = look;
    m_faceColour = background;
    m_faceCaptionColour = captionColour;
    update();
}

bool TSelButton::event(QEvent* event)
{
    // A button placed without a caption of its own shows its name.
    if (event->type() == QEvent::ParentChange && m_caption.isEmpty())
        setCaption(objectName());
    return QWidget::event(event);
}

void TSelButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const bool pressed = m_look == Look::Pressed;
    painter.fillRect(QRect(QPoint(1, 1), QPoint(w - 2, h - 2)), m_faceColour);

    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(m_caption);
    const int textHeight = metrics.height();
    const int shift = pressed ? 1 : 0;
    int x = 5 + shift;
    if (m_alignment == Alignment::Centre)
        x = w / 2 - textWidth / 2 + shift;
    else if (m_alignment == Alignment::Right)
        x = w - textWidth - 6 + shift;
    const int y = h / 2 - textHeight / 2 + shift;
    if (!m_caption.isEmpty()) {
        painter.fillRect(x, y, textWidth, textHeight, m_faceColour);
        painter.setFont(font());
        painter.setPen(m_faceCaptionColour);
        painter.drawText(x, y + metrics.ascent(), m_caption);
    }

    // Each frame is one pixel wide, the next one pixel further in.
    for (int i = 0; i < m_borderWidth && 2 * i < qMin(w, h); ++i) {
        const QRect frame(QPoint(i, i), QPoint(w - i - 1, h - i - 1));
        painter.fillRect(frame.left(), frame.top(), frame.width(), 1, m_colorBorder);
        painter.fillRect(frame.left(), frame.bottom(), frame.width(), 1, m_colorBorder);
        painter.fillRect(frame.left(), frame.top(), 1, frame.height(), m_colorBorder);
        painter.fillRect(frame.right(), frame.top(), 1, frame.height(), m_colorBorder);
    }

    // The keyboard's mark: dots in the border's colour, one pixel clear of the border.
    if (m_focusMark.shown()) {
        const int inset = m_borderWidth + 1;
        paintDottedFrame(painter, rect().adjusted(inset, inset, -inset, -inset), m_colorBorder);
    }
}

void TSelButton::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    event->accept();
    if (event->button() != Qt::LeftButton || !m_buttonEnabled)
        return;
    emit mousePressed(event->button(), event->modifiers(), event->position().toPoint());
    drawLook(Look::Pressed, m_colorDown, m_faceCaptionColour);
}

void TSelButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    // A click handler may hide the window or even delete the button.
    QPointer<TSelButton> alive(this);
    if (rect().contains(pos)) {
        drawNormal();
        if (m_buttonEnabled)
            emit clicked();
        if (!alive)
            return;
    }
    if (!m_buttonEnabled)
        return;
    emit mouseReleased(event->button(), event->modifiers(), pos);
    // Measured again: the click handler may have moved or hidden the button.
    if (alive && isVisible() && rect().contains(mapFromGlobal(event->globalPosition().toPoint())))
        drawLook(Look::Hovered, m_colorOver, m_colorOverCaption);
}

void TSelButton::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
}

void TSelButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (m_buttonEnabled)
        drawLook(Look::Hovered, m_colorOver, m_colorOverCaption);
}

void TSelButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    drawNormal();
}

void TSelButton::click()
{
    if (!m_buttonEnabled)
        return;
    // As after a mouse click: the normal look, the click, then the hover look
    // if the pointer rests on the button and the handler left it there.
    QPointer<TSelButton> alive(this);
    drawNormal();
    emit clicked();
    if (alive && isVisible() && underMouse())
        drawLook(Look::Hovered, m_colorOver, m_colorOverCaption);
}

void TSelButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Taken even with the own flag off, so the window's default does not fire instead.
    event->accept();
    if (m_focusMark.keyUsed())
        update();
    if (event->isAutoRepeat() || !m_buttonEnabled)
        return;
    if (key == Qt::Key_Space) {
        // Space clicks when it comes up, as a mouse button does.
        m_spaceDown = true;
        drawLook(Look::Pressed, m_colorDown, m_faceCaptionColour);
        return;
    }
    click();
}

void TSelButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat() || !m_spaceDown)
        return;
    m_spaceDown = false;
    click();
}

void TSelButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (m_focusMark.follow(event))
        update();
}

void TSelButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (m_spaceDown) {
        // Space went with the focus: no click, the normal look again.
        m_spaceDown = false;
        drawNormal();
    }
    if (m_focusMark.follow(event))
        update();
}

} // namespace velmora
