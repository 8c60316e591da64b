#include "dartboardpanel.h"

#include "art/artwork.h"
#include "boardgeometry.h"
#include "picturelabel.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora {

namespace {

constexpr QRect logoGeometry{2, 2, 32, 32}; // top-left corner, clear of the round board
constexpr QSize markerSize{40, 28};

QPixmap smallLogo(qreal dpr)
{
    QPixmap picture =
        art::aboutPicture(dpr).scaled(logoGeometry.size() * dpr, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    picture.setDevicePixelRatio(dpr);
    return picture;
}

} // namespace

DartboardPanel::DartboardPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FlatPanel7"));
    resize(designSize);

    m_logo = new PictureLabel(QStringLiteral("image_logo"), smallLogo, logoGeometry.size(), this);
    m_logo->move(logoGeometry.topLeft());
    m_logo->setCursor(Qt::PointingHandCursor);
    m_logo->installEventFilter(this);

    for (int dart = 1; dart <= game::kDarts; ++dart) {
        auto* marker =
            new PictureLabel(QStringLiteral("image_throwndart%1").arg(dart), art::thrownDart, markerSize, this);
        marker->setAttribute(Qt::WA_TransparentForMouseEvents);
        marker->hide();
        m_markers[dart - 1] = marker;
    }
}

void DartboardPanel::showDart(int dart, const DartResult& result)
{
    if (dart < 1 || dart > game::kDarts)
        return;
    PictureLabel* marker = m_markers[dart - 1];
    marker->move(board::markerPosition(result) - QPoint(0, board::markerLift));
    marker->raise();
    marker->show();
}

void DartboardPanel::hideMarkers()
{
    for (PictureLabel* marker : m_markers)
        marker->hide();
}

void DartboardPanel::hideMarker(int dart)
{
    if (dart >= 1 && dart <= game::kDarts)
        m_markers[dart - 1]->hide();
}

QRect DartboardPanel::pictureArea() const
{
    // The panel sits in the board's bottom-right corner and the board's green
    // frame runs under it: keep the picture inside that frame.
    for (const QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (w->objectName() == QLatin1String("panel_board")) {
            const QRect inside = w->rect().adjusted(1, 1, -1, -1);
            return rect() & QRect(mapFrom(w, inside.topLeft()), inside.size());
        }
    }
    return rect();
}

void DartboardPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setClipRect(pictureArea());
    painter.drawPixmap(art::dartboardPanelOffsetX, 0, art::dartboard(devicePixelRatioF()));
}

bool DartboardPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_logo && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_logo->rect().contains(mouse->position().toPoint()))
            emit logoClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velmora
