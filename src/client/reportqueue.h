#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <functional>

namespace velmora {

// Reports to the player ("Game is full", a failed send) wait here and are
// shown one at a time, after the message being handled has finished: a box
// never opens inside a dispatch, nor inside another box. A text already
// waiting or on screen is not queued again, and the queue has a bound, so a
// hostile host cannot stack boxes.
class ReportQueue : public QObject {
    Q_OBJECT
public:
    // How each report is shown (a modal box in the game, a recorder in tests).
    using Presenter = std::function<void(const QString&)>;
    static constexpr size_t kMaxWaiting = 8;

    explicit ReportQueue(Presenter presenter, QObject* parent = nullptr);

    void setPresenter(Presenter presenter) { m_present = std::move(presenter); }
    void post(const QString& text);

    bool isShowing() const { return m_showing; }
    size_t waiting() const { return m_waiting.size(); }

signals:
    // Every report that was posted has been shown.
    void drained();

private:
    void showWaiting();

    Presenter m_present;
    std::deque<QString> m_waiting;
    QString m_onScreen;
    bool m_showing = false;
    bool m_scheduled = false;
};

} // namespace velmora
