#pragma once

// Makes a shown test window the active one, so that keyboard focus lands in
// it. Qt 6.5 replaced the direct call with the window's own request, which the
// platform answers through the event loop.

#include "support/EventLoop.h"

#include <QApplication>
#include <QWidget>
#include <QtGlobal>

namespace lumora::testing {

inline void MakeActive(QWidget& window)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    window.activateWindow();
    PumpUntil([&] { return QApplication::activeWindow() == &window; }, 2000);
#else
    QApplication::setActiveWindow(&window);
#endif
}

} // namespace lumora::testing
