#pragma once

#include <QString>
#include <QStringView>

namespace velmora {

// A text from the network made safe for an operator's terminal: control
// characters (C0, DEL, C1, escape) are written as \xNN and the backslash as
// \\, so a name can neither drive the terminal nor forge a console line.
QString consoleSafe(QStringView text);

} // namespace velmora
