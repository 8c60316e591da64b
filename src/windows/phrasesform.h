#pragma once

#include "sidewindow.h"

namespace velmora {

// The phrase editor. The edit boxes for the ten phrase buttons come with the phrase buttons themselves.
class Tphrases : public SideWindow {
    Q_OBJECT
public:
    explicit Tphrases(QWidget* parent = nullptr);
};

} // namespace velmora
