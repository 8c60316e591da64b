#pragma once

#include <QWidget>

namespace velmora {

// One of the four places of a dart on the dice panel: a grey outline that a
// placed die covers. Its accessible name says what lies on it:
// "Dart 1, place 2, empty", "Dart 1, place 2, 5".
class DartSlot : public QWidget {
    Q_OBJECT
public:
    DartSlot(int dart, int slot, QWidget* parent = nullptr);

    bool filled() const { return m_filled; }
    // A die with this face now lies here; empty() frees the place again.
    void fill(int face);
    void empty();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void nameFor(const QString& lying);

    int m_dart;
    int m_slot;
    bool m_filled = false;
};

} // namespace velmora
