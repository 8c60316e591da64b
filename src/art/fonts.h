#pragma once

#include <QString>

#include <thread>

namespace velmora::art {

// The family the game asks for wherever it means Arial (the chat, the flat
// buttons): Arial itself, else a metric-compatible stand-in, else the
// system's sans-serif face. Looked up once: asking Qt for a family that isn't
// installed makes it sort every font on the system for a fallback, which
// costs the first window several milliseconds.
QString arialFamily();

// Reads the system's font configuration on a worker thread, so that it is
// ready by the time the first text is measured: started before the
// application connects to the display, it costs the first window nothing.
// Join the thread before any font is used.
std::thread preloadFontConfiguration();

} // namespace velmora::art
