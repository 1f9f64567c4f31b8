#pragma once

#include <QPoint>
#include <QRect>
#include <QtMath>

namespace kivora {

// Window layouts are given in twips, 1/1440 inch: 15 to a logical pixel at 96 dots per inch.
// Qt scales logical pixels on denser screens, so the layout keeps its proportions everywhere.
inline constexpr int kTwipsPerPixel = 15;

inline int Px(int twips) {
    return qRound(twips / static_cast<double>(kTwipsPerPixel));
}

inline QPoint TwipPoint(int left, int top) {
    return {Px(left), Px(top)};
}

inline QRect TwipRect(int left, int top, int width, int height) {
    return {Px(left), Px(top), Px(width), Px(height)};
}

// The same in the client area of a window that draws its own border of `border` pixels.
inline QPoint TwipPoint(int left, int top, int border) {
    return TwipPoint(left, top) + QPoint(border, border);
}

inline QRect TwipRect(int left, int top, int width, int height, int border) {
    return TwipRect(left, top, width, height).translated(border, border);
}

} // namespace kivora
