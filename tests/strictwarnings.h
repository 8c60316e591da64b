#pragma once

// Every QtTest class calls this from init(): a Qt warning that nobody
// expected (a refused connection, a missing plugin) fails the test. Left
// through are the game's own diagnostics ("velmora: dropped ...", which a
// test provoking them may check with QTest::ignoreMessage) and the
// offscreen platform's notes on what it cannot do (raise a window, grab
// the keyboard).

#include <QRegularExpression>
#include <QTest>

namespace velmora::testing {

inline void failOnUnexpectedWarnings()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!velmora[ :]|This plugin does not support )")));
}

} // namespace velmora::testing
