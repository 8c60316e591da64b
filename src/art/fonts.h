#pragma once

#include <QString>

namespace velmora::art {

// The family the game asks for wherever it means Arial (the chat, the flat
// buttons): Arial itself, else a metric-compatible stand-in, else the
// system's sans-serif face. Looked up once: asking Qt for a family that isn't
// installed makes it sort every font on the system for a fallback, which
// costs the first window several milliseconds.
QString arialFamily();

} // namespace velmora::art
