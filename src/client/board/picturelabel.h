#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

namespace velmora {

// A fixed picture, fetched from the art at paint time so that it is drawn
// sharp at the pixel ratio of whatever screen the window is on now.
class PictureLabel : public QWidget {
    Q_OBJECT
public:
    using Picture = std::function<QPixmap(qreal devicePixelRatio)>;

    // The label takes the picture's logical size (see art/artwork.h); nothing
    // is painted until the label is first shown.
    PictureLabel(const QString& objectName, Picture picture, QSize logicalSize, QWidget* parent = nullptr);
    // For callers that place the label themselves: the size is whatever the
    // caller's geometry says, and again nothing is painted up front.
    PictureLabel(const QString& objectName, Picture picture, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Picture m_picture;
    QSize m_logicalSize;
};

} // namespace velmora
