#include "phrasesform.h"

namespace velmora {

Tphrases::Tphrases(QWidget* parent)
    : SideWindow(parent)
{
    setObjectName(QStringLiteral("Tphrases"));
    setWindowTitle(QStringLiteral("Zandro - Phrase Buttons"));
    resize(320, 330);
    setBackgroundPicture(true);
    addDoneButton({232, 296, 75, 25}, QStringLiteral("SelButton8"));
}

} // namespace velmora
