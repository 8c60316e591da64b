#pragma once

#include "boardrules.h"

#include <QWidget>
#include <array>

class QLabel;

namespace velmora {

// The dartboard at the right of the chat area, with a marker where each of
// the three darts of the turn hit, and the game's small clickable logo.
class DartboardPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize designSize{229, 246};

    explicit DartboardPanel(QWidget* parent = nullptr);

    // Shows marker 1..3 where a dart of this value hits and returns the game
    // sound of that dart; an out-of-range dart shows nothing and returns "".
    QString showDart(int dart, const QString& value);
    void hideMarkers();
    void hideMarker(int dart);

signals:
    void logoClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_logo = nullptr;
    std::array<QLabel*, board::dartCount> m_markers{};
};

} // namespace velmora
