#include "pixmapcache.h"

#include <QHash>
#include <QPainter>
#include <QtMath>

namespace velmora::art::detail {

namespace {

// Pictures are only made and used on the user-interface thread, so a plain
// hash is enough. Ratios are keyed in hundredths to avoid comparing floats.
QHash<QString, QPixmap>& cache()
{
    static QHash<QString, QPixmap> pixmaps;
    return pixmaps;
}

QString fullKey(const QString& key, qreal dpr)
{
    return key + QLatin1Char('@') + QString::number(qRound(dpr * 100));
}

QPixmap cachedPixmap(const QString& key, qreal dpr, const std::function<QPixmap()>& make)
{
    const QString k = fullKey(key, dpr);
    auto found = cache().constFind(k);
    if (found != cache().constEnd())
        return *found;
    QPixmap pixmap = make();
    cache().insert(k, pixmap);
    return pixmap;
}

} // namespace

QPixmap cachedPixmap(const QString& key, QSize logicalSize, qreal dpr, const std::function<void(QPainter&)>& paint)
{
    if (dpr <= 0)
        dpr = 1.0;
    return cachedPixmap(key, dpr, [&] {
        QPixmap pixmap(qCeil(logicalSize.width() * dpr), qCeil(logicalSize.height() * dpr));
        pixmap.setDevicePixelRatio(dpr);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        paint(painter);
        return pixmap;
    });
}

QFont pictureFont(qreal pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(bold);
    return font;
}

} // namespace velmora::art::detail
