#pragma once

#include <QWidget>

namespace velmora {

// One of the four places of a dart on the dice panel: a grey outline that a
// placed die covers.
class DartSlot : public QWidget {
    Q_OBJECT
public:
    DartSlot(int dart, int slot, QWidget* parent = nullptr);

    bool filled() const { return m_filled; }
    void setFilled(bool filled) { m_filled = filled; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_filled = false;
};

} // namespace velmora
