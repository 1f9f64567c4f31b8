// A picture drawn once at the size and pixel ratio it is shown at, and kept: a repaint then
// copies its pixels instead of drawing every path of the picture again.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace kivora {

// The picture `file` drawn to fill `size` (in device-independent pixels) at `ratio` device
// pixels to one, from the application's pixmap cache when it is there. Transparent where the
// picture cannot be read.
QPixmap SvgPixmap(const QString& file, const QSize& size, qreal ratio);

} // namespace kivora
