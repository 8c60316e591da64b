#pragma once

#include "art/artwork.h"

#include <QAbstractButton>

namespace velmora {

// A button drawn entirely by one of the game's button pictures, lit while the
// pointer is over it and sunk while pressed. Its text is not drawn; it names
// the button for accessibility and tests.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(art::PictureButton picture, const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    art::PictureButton picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    art::PictureButton m_picture;
};

} // namespace velmora
