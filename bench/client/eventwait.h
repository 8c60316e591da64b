#pragma once

// Waits for a state in the event loop itself: QTest::qWaitFor sleeps between
// its looks, and a benchmark would measure those sleeps too.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace velmora::bench {

inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

} // namespace velmora::bench
