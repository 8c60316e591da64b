#include "spylistform.h"

#include "controls/readablecaption.h"

#include <QLabel>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

namespace velmora {

Tspylist::Tspylist(QWidget* parent)
    : SideWindow(parent, Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tspylist"));
    setWindowTitle(QStringLiteral("Velmora -Spys"));
    setFixedSize(170, 194);
    setBackgroundPicture(true);

    addLabel(QStringLiteral("Spy List"), {0, 4, 170, 18}, 13, true, Qt::AlignCenter);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("listbox_spys"));
    m_list->setAccessibleName(QStringLiteral("Spy List"));
    m_list->setGeometry(8, 24, 154, 130);
    m_list->setStyleSheet(QStringLiteral("QListWidget { color: #00ff00; background-color: black; font-size: 11px; } "
                                         "QListWidget::item { height: 13px; }"));
    m_list->viewport()->setMouseTracking(true);
    m_list->viewport()->installEventFilter(this);
    m_list->installEventFilter(this);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("popup_kick"));
    m_kick = m_menu->addAction(QStringLiteral("Remove From Game"));
    m_kick->setObjectName(QStringLiteral("popup_kickhim"));
    m_kick->setEnabled(false);
    connect(m_kick, &QAction::triggered, this, &Tspylist::kickPointed);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menu->popup(m_list->viewport()->mapToGlobal(pos)); });

    addDoneButton({47, 162, 75, 25});
}

void Tspylist::addEntry(const QString& entry)
{
    auto* item = new QListWidgetItem(entry);
    item->setData(Qt::AccessibleTextRole, readableCaption(entry)); // "5, Bob"
    m_list->addItem(item);
}

bool Tspylist::removeEntry(const QString& entry)
{
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->text() == entry) {
            delete m_list->takeItem(row);
            return true;
        }
    }
    return false;
}

QStringList Tspylist::entries() const
{
    QStringList texts;
    for (int row = 0; row < m_list->count(); ++row)
        texts.append(m_list->item(row)->text());
    return texts;
}

bool Tspylist::isEmpty() const
{
    return m_list->count() == 0;
}

void Tspylist::setRemoveEnabled(bool enabled)
{
    m_kick->setEnabled(enabled);
}

bool Tspylist::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseMove) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex index = m_list->indexAt(at);
        m_pointed = index.isValid() ? index.row() : -1;
    }
    // From the keyboard the menu key (or Shift+F10) opens the menu on the current entry.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) &&
            m_list->currentItem()) {
            m_pointed = m_list->currentRow();
            const QRect entry = m_list->visualItemRect(m_list->currentItem());
            m_menu->popup(m_list->viewport()->mapToGlobal(entry.bottomLeft()));
            if (m_kick->isEnabled())
                m_menu->setActiveAction(m_kick);
            return true;
        }
    }
    return SideWindow::eventFilter(watched, event);
}

void Tspylist::kickPointed()
{
    // The entry under the pointer counts, not the selected one.
    if (!m_kick->isEnabled() || m_pointed < 0 || m_pointed >= m_list->count())
        return;
    const QString text = m_list->item(m_pointed)->text();
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return;
    bool ok = false;
    const int number = text.left(colon).toInt(&ok);
    if (ok)
        emit kickRequested(number);
}

} // namespace velmora
