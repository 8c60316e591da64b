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

    PictureLabel(const QString& objectName, Picture picture, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Picture m_picture;
};

} // namespace velmora
