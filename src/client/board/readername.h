#pragma once

#include <QWidget>

namespace velmora {

// Gives a widget the name a screen reader says for it. Readers hear every
// change of name, so an unchanged name is not set again.
inline void setReaderName(QWidget* widget, const QString& name)
{
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
}

} // namespace velmora
