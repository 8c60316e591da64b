#pragma once

#include <QFrame>

namespace velmora {

// "How To Read the Score Board": a panel over the board that explains the
// headings and the lights of a score board, until its close button is pressed.
class ScoreBoardHelp : public QFrame {
    Q_OBJECT
public:
    static constexpr QRect kGeometry{200, 0, 280, 425};

    explicit ScoreBoardHelp(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velmora
