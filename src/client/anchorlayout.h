#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

namespace velmora {

// Keeps a widget's children at their design positions while the widget
// grows: each child keeps its distance to the edges it is anchored to, the
// way the board's panels follow the window when it is widened.
class AnchorLayout : public QObject {
public:
    enum Anchor { Left = 1, Top = 2, Right = 4, Bottom = 8 };

    // Lays out `parent`'s children on every resize; `designSize` is the
    // parent's size the design rectangles refer to.
    AnchorLayout(QWidget* parent, QSize designSize);

    // Places the child at its design rectangle and remembers its anchors.
    void add(QWidget* child, const QRect& designRect, int anchors = Left | Top);
    // Re-places every child for the parent's size.
    void apply(QSize parentSize) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QWidget* widget;
        QRect design;
        int anchors;
    };
    QSize m_designSize;
    QList<Entry> m_entries;
};

} // namespace velmora
