#pragma once

#include "sidewindow.h"

namespace velmora {

// The lobby download window, shown when the game starts without parameters.
// So far it only offers to go on with the solo game.
class Tdownload : public SideWindow {
    Q_OBJECT
public:
    explicit Tdownload(QWidget* parent = nullptr);
};

} // namespace velmora
