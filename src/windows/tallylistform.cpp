#include "tallylistform.h"

#include <QLabel>
#include <QListWidget>

namespace velmora {

Ttallylist::Ttallylist(QWidget* parent)
    : SideWindow(parent)
{
    setObjectName(QStringLiteral("Ttallylist"));
    setWindowTitle(QStringLiteral("Velmora - Tally List"));
    setFixedSize(400, 300);
    setBackgroundPicture(true);

    addLabel(QStringLiteral("Players In Current Game"), {12, 8, 180, 20}, 12, true);
    m_checklist = new QListWidget(this);
    m_checklist->setObjectName(QStringLiteral("checklist"));
    m_checklist->setGeometry(12, 30, 180, 220);
    m_checklist->setStyleSheet(QStringLiteral("QListWidget { color: #00ff00; background-color: black; }"));

    addDoneButton({313, 265, 75, 25});
}

void Ttallylist::clearChecklist()
{
    m_checklist->clear();
}

void Ttallylist::addToChecklist(const QString& name, bool ticked)
{
    auto* item = new QListWidgetItem(name, m_checklist);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

QStringList Ttallylist::checklist() const
{
    QStringList names;
    for (int row = 0; row < m_checklist->count(); ++row)
        names.append(m_checklist->item(row)->text());
    return names;
}

bool Ttallylist::isTallied(const QString&) const
{
    return false;
}

void Ttallylist::addgame(const QString& winner)
{
    m_lastGame = winner;
}

void Ttallylist::countDoubleBull()
{
    ++m_doubleBulls;
}

} // namespace velmora
