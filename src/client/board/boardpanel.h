#pragma once

#include <QWidget>

namespace velmora {

// The board "panel_board": black, inside a one-pixel green frame.
class BoardPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velmora
