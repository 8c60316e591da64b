#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

namespace velmora {

// A caption as a screen reader should say it: readers at their usual
// punctuation level read ":" as "colon" and ";" as "semi", so a colon ending
// a caption ("Total Games:") is dropped, and one inside it ("Note: ...",
// "5: Bob") or a semicolon becomes a comma, as does a dash between spaces
// ("Velmora - Game Start"). Addresses ("http://...") keep their colons.
QString readableCaption(const QString& caption);

// An accessible for `widget` in `role` whose name is said as a caption.
QAccessibleInterface* captionedAccessible(QWidget* widget, QAccessible::Role role);

// Makes every label without an accessible name of its own read its text
// through readableCaption(). Calling it again does nothing.
void installReadableCaptions();

} // namespace velmora
