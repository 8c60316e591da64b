#include "reportqueue.h"

#include <QTimer>
#include <algorithm>

namespace velmora {

ReportQueue::ReportQueue(Presenter presenter, QObject* parent)
    : QObject(parent)
    , m_present(std::move(presenter))
{
}

void ReportQueue::post(const QString& text)
{
    const bool known =
        (m_showing && text == m_onScreen) || std::find(m_waiting.begin(), m_waiting.end(), text) != m_waiting.end();
    if (known || m_waiting.size() >= kMaxWaiting)
        return;
    m_waiting.push_back(text);
    if (!m_showing && !m_scheduled) {
        m_scheduled = true;
        QTimer::singleShot(0, this, &ReportQueue::showWaiting);
    }
}

void ReportQueue::showWaiting()
{
    m_scheduled = false;
    if (m_showing)
        return; // the box on screen shows the rest when it closes
    m_showing = true;
    while (!m_waiting.empty()) {
        m_onScreen = m_waiting.front();
        m_waiting.pop_front();
        if (m_present)
            m_present(m_onScreen); // may run a nested event loop
    }
    m_onScreen.clear();
    m_showing = false;
    emit drained();
}

} // namespace velmora
