#include "controls/AdvSmoothGauge.h"

#include <QPainter>

namespace lumora {

void TAdvSmoothGauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintGauge(painter);
}

void TAdvSmoothGauge::PaintGauge(QPainter&) {}

} // namespace lumora
