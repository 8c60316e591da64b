#pragma once

#include "game/constants.h"
#include "game/dartresult.h"

#include <QWidget>
#include <array>

namespace velmora {

class PictureLabel;

// The dartboard at the right of the chat area, with a marker where each of
// the three darts of the turn hit, and the game's small clickable logo.
class DartboardPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize designSize{229, 246};

    explicit DartboardPanel(QWidget* parent = nullptr);

    // Shows marker 1..3 where a dart with this result hits; an out-of-range
    // dart shows nothing.
    void showDart(int dart, const DartResult& result);
    void hideMarkers();
    void hideMarker(int dart);

signals:
    void logoClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The part of the panel the dartboard picture may cover.
    QRect pictureArea() const;

    PictureLabel* m_logo = nullptr;
    std::array<PictureLabel*, game::kDarts> m_markers{};
};

} // namespace velmora
