#pragma once

#include <QColor>

namespace kivora {

// Text colours that stay legible whatever palette the desktop uses. Contrast follows the WCAG
// definition: relative luminance from linearised sRGB, ratio (L1 + 0.05) / (L2 + 0.05).
constexpr double kMinTextContrast = 4.5;
// Marks that are not text (a focus frame, an arrow) need less.
constexpr double kMinMarkContrast = 3.0;

double RelativeLuminance(const QColor& color);
double ContrastRatio(const QColor& a, const QColor& b);

// The wanted colour when it reaches the minimum contrast on the background. Otherwise the
// wanted colour moved towards black or white (whichever the background favours) until it
// reaches 7:1, or as far as the background allows: a smaller margin would be eaten by the
// anti-aliased edges of small text. It keeps its hue where it can.
QColor ReadableOn(const QColor& wanted, const QColor& background);

// The same walk for a mark: the wanted colour when it reaches 3:1, otherwise moved until it
// reaches 4.5:1, or as far as the background allows.
QColor VisibleOn(const QColor& wanted, const QColor& background);

} // namespace kivora
