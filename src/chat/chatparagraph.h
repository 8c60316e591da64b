#pragma once

// The view's own record of one shown line; shared by the view's source files only.

#include "chatview.h"

#include <QGlyphRun>
#include <QTextLayout>

namespace velmora {

struct ChatView::GlyphPiece {
    int style;
    QGlyphRun run;
    QRectF underline; // drawn by us when not empty
};

struct ChatView::Paragraph {
    ChatLine line;
    quint64 serial = 0;
    int firstLink = 0; // display number of its first link run
    bool hasSmiley = false;
    qint64 contentBytes = 0; // what the line itself holds, counted against the history budget
    std::unique_ptr<QTextLayout> layout;
    std::vector<GlyphPiece> glyphs; // the unselected text, ready to draw in any colour
    quint64 layoutKey = 0;          // width and fonts the layout was made for; 0: none
    int laidOutHeight = 0;
};

} // namespace velmora
