#include "readervoice.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>
#include <QWidget>

namespace velmora {

namespace {

// A game turn says a handful of things at once (a dart's last die, the
// turn's points, the next turn): what comes within this time is said as one,
// so a reader does not cut one short with the next. A flood from a hostile
// host keeps only the newest, so a reader never falls behind the board.
constexpr int kGatherMs = 100;
constexpr int kMaxPending = 8;

// The object a screen reader hears: a notification whose name is the news.
class NotificationBoard : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

QAccessibleInterface* notificationAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(NotificationBoard::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace

ReaderVoice::ReaderVoice(QWidget* window)
    : QObject(window)
    , m_board(new NotificationBoard(window))
{
    QAccessible::installFactory(notificationAccessible); // Qt keeps each factory once
    m_board->setObjectName(QStringLiteral("announcements"));
    m_board->setGeometry(0, 0, 1, 1);
    m_board->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_board->setFocusPolicy(Qt::NoFocus);
    m_board->lower(); // beneath everything the player sees
}

void ReaderVoice::speak(const QString& text)
{
    if (text.isEmpty())
        return;
    if (m_pending.size() == kMaxPending)
        m_pending.removeFirst();
    m_pending << text;
    if (m_flushQueued)
        return;
    m_flushQueued = true;
    QTimer::singleShot(kGatherMs, this, &ReaderVoice::flush);
}

void ReaderVoice::flush()
{
    m_flushQueued = false;
    if (m_pending.isEmpty())
        return;
    m_last = m_pending.join(QLatin1Char(' '));
    m_pending.clear();
    // The name changes, and the notification shows again: readers speak a
    // notification as it appears, and the changed name of what they watch.
    m_board->hide();
    m_board->setAccessibleName(m_last);
    m_board->show();
    QAccessibleEvent alert(m_board, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    emit spoke(m_last);
}

} // namespace velmora

#include "readervoice.moc"
