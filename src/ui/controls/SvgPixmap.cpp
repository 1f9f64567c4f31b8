#include "ui/controls/SvgPixmap.h"

#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace kivora {

QPixmap SvgPixmap(const QString& file, const QSize& size, qreal ratio) {
    const QString key = QStringLiteral("kivora-svg %1 %2x%3 %4")
                            .arg(file)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(ratio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    pixmap = QPixmap((QSizeF(size) * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(file);
    if (renderer.isValid()) {
        QPainter p(&pixmap);
        renderer.render(&p, QRectF(QPointF(), QSizeF(size)));
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace kivora
