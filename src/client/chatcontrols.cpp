#include "chatcontrols.h"

#include "art/palette.h"

#include <QPainter>

namespace velmora {

namespace {

void paintEdge(QPainter& painter, const QWidget* widget)
{
    painter.setPen(art::palette::edgeGreen);
    painter.drawRect(widget->rect().adjusted(0, 0, -1, -1));
}

} // namespace

PhraseButton::PhraseButton(QWidget* parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
}

void PhraseButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintEdge(painter, this);
    painter.setPen(isEnabled() ? art::palette::textLime : art::palette::grey);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

ChatEntry::ChatEntry(const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
{
    // The edge is ours: one pixel all round, as the box has always had.
    setFrame(false);
    setTextMargins(1, 1, 1, 1);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, art::palette::black);
    setPalette(colours);
}

void ChatEntry::setTextColour(const QColor& colour)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Text, colour);
    setPalette(colours);
}

void ChatEntry::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    paintEdge(painter, this);
}

} // namespace velmora
