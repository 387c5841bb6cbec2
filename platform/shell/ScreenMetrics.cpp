#include "platform/shell/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace lumora {

int ScreenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 96;
    return int(std::lround(screen->logicalDotsPerInchX()));
}

} // namespace lumora
