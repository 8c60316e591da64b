#pragma once

#include <QFrame>
#include <QList>

namespace velmora {

// "How To Read the Score Board": a panel over the board that explains the
// headings and the lights of a score board, until its close button is pressed.
class ScoreBoardHelp : public QFrame {
    Q_OBJECT
public:
    static constexpr QRect kGeometry{200, 0, 280, 425};

    explicit ScoreBoardHelp(QWidget* parent = nullptr);

    // Where each piece of the explanation goes, top to bottom: heading,
    // paragraphs, the row of target headings and the four light rows. Each
    // text block is as tall as its wrapped lines, so nothing overlaps.
    QList<QRect> blockRects() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Block;
    QList<Block> layoutBlocks() const;
};

} // namespace velmora
