#include "platform/gdiplus/Brush.h"

#include <QPainter>

namespace lumora::gdiplus {

void Brush::FillArea(QPainter& painter, const QPainterPath& area) const
{
    if (status_ != Ok)
        return;
    painter.fillPath(area, ToQBrush(painter.worldTransform()));
}

Status SolidBrush::GetColor(Color* color) const
{
    if (!color)
        return InvalidParameter;
    *color = color_;
    return Ok;
}

Status SolidBrush::SetColor(const Color& color)
{
    color_ = color;
    return Ok;
}

void SolidBrush::FillArea(QPainter& painter, const QPainterPath& area) const
{
    if (color_.GetA() == 0)
        return;
    painter.fillPath(area, color_.ToQColor());
}

QBrush SolidBrush::ToQBrush(const QTransform&) const
{
    return QBrush(color_.ToQColor());
}

} // namespace lumora::gdiplus
