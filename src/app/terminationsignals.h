#pragma once

#include <QObject>
#include <functional>

namespace velmora {

// SIGINT, SIGTERM and SIGHUP run `action` on the main thread, from the event
// loop, like everything else: a program told to stop then ends as it would
// on its own (files written, the named mutex released). The signal handler
// itself only writes a byte to a socket pair.
void onTerminationSignals(QObject* context, std::function<void()> action);

} // namespace velmora
