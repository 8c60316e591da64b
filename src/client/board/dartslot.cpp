#include "dartslot.h"

#include "art/palette.h"
#include "boardaccessibility.h"
#include "boardgeometry.h"
#include "core/spokenwords.h"
#include "readername.h"

#include <QPainter>

namespace velmora {

DartSlot::DartSlot(int dart, int slot, QWidget* parent)
    : QWidget(parent)
    , m_dart(dart)
    , m_slot(slot)
{
    installBoardAccessibility();
    setObjectName(QStringLiteral("dart%1dice%2").arg(dart).arg(slot));
    setGeometry(QRect(board::slotPosition(dart, slot), QSize(32, 32)));
    // Presses and moves fall through to the panel, which handles drags.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    empty();
}

void DartSlot::fill(int face)
{
    m_filled = true;
    nameFor(spoken::face(face));
}

void DartSlot::empty()
{
    m_filled = false;
    nameFor(QStringLiteral("empty"));
}

void DartSlot::nameFor(const QString& lying)
{
    setReaderName(this, QStringLiteral("Dart %1, place %2, %3").arg(m_dart).arg(m_slot).arg(lying));
}

void DartSlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(art::palette::grey);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace velmora
