#include "ReadableColor.h"

#include <cmath>

namespace kivora {

namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(const QColor& color) {
    const QColor rgb = color.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) +
           0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {

// The wanted colour when it reaches `minimum` on the background, otherwise moved towards black
// or white (whichever the background favours) until it reaches `aim`. Black or white always
// reaches 4.5:1 on one side (the better of the two gives at least sqrt(21):1), so the walk ends
// at the latest there.
QColor Towards(const QColor& wanted, const QColor& background, double minimum, double aim) {
    if (ContrastRatio(wanted, background) >= minimum) {
        return wanted;
    }
    const QColor target =
        ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background)
            ? QColor(Qt::black)
            : QColor(Qt::white);
    const QColor from = wanted.toRgb();
    for (int step = 1; step <= 20; ++step) {
        const double t = step / 20.0;
        const auto mix = [t](int a, int b) {
            return static_cast<int>(std::lround(a + (b - a) * t));
        };
        const QColor mixed(mix(from.red(), target.red()), mix(from.green(), target.green()),
                           mix(from.blue(), target.blue()));
        if (ContrastRatio(mixed, background) >= aim) {
            return mixed;
        }
    }
    return target;
}

} // namespace

QColor ReadableOn(const QColor& wanted, const QColor& background) {
    return Towards(wanted, background, kMinTextContrast, 7.0);
}

QColor VisibleOn(const QColor& wanted, const QColor& background) {
    return Towards(wanted, background, kMinMarkContrast, kMinTextContrast);
}

} // namespace kivora
