#include "screen/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kDefaultTwipsPerPixel = 15.0;

double twipsFor(double dpi) {
    return dpi > 0 ? kTwipsPerInch / dpi : kDefaultTwipsPerPixel;
}

} // namespace

double ScreenMetrics::twipsPerPixelX() const {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    return screen ? twipsFor(screen->logicalDotsPerInchX()) : kDefaultTwipsPerPixel;
}

double ScreenMetrics::twipsPerPixelY() const {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    return screen ? twipsFor(screen->logicalDotsPerInchY()) : kDefaultTwipsPerPixel;
}

// Qt 6 takes a desktop setting above 96 dpi over as a scale of its pixels
// and then reports 96 logical dpi: the setting is the two together.
double ScreenMetrics::dotsPerInchX() const {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    return screen ? screen->logicalDotsPerInchX() * screen->devicePixelRatio()
                  : kTwipsPerInch / kDefaultTwipsPerPixel;
}

} // namespace platform
