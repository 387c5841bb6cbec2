#include "platform/gdiplus/Pen.h"

namespace lumora::gdiplus {

Pen::Pen(const Color& color, REAL width) : width_(width), brush_(std::make_unique<SolidBrush>(color)) {}

Pen::Pen(const Brush* brush, REAL width) : width_(width)
{
    if (brush) {
        brush_ = brush->Clone();
    } else {
        brush_ = std::make_unique<SolidBrush>(Color(0));
        status_ = InvalidParameter;
    }
}

Pen::Pen(const Pen& other)
    : width_(other.width_), brush_(other.brush_->Clone()), dash_(other.dash_), pattern_(other.pattern_),
      status_(other.status_)
{
}

Pen& Pen::operator=(const Pen& other)
{
    if (this != &other) {
        width_ = other.width_;
        brush_ = other.brush_->Clone();
        dash_ = other.dash_;
        pattern_ = other.pattern_;
        status_ = other.status_;
    }
    return *this;
}

Pen::~Pen() = default;

Status Pen::SetWidth(REAL width)
{
    width_ = width;
    return Ok;
}

Status Pen::SetColor(const Color& color)
{
    brush_ = std::make_unique<SolidBrush>(color);
    return Ok;
}

Status Pen::GetColor(Color* color) const
{
    if (!color)
        return InvalidParameter;
    if (brush_->GetType() != BrushTypeSolidColor)
        return WrongState;
    *color = static_cast<const SolidBrush&>(*brush_).GetColor();
    return Ok;
}

Status Pen::SetBrush(const Brush* brush)
{
    if (!brush)
        return InvalidParameter;
    brush_ = brush->Clone();
    return Ok;
}

Status Pen::SetDashStyle(DashStyle style)
{
    switch (style) {
    case DashStyleSolid:
        pattern_.clear();
        break;
    case DashStyleDash:
        pattern_ = {3, 1};
        break;
    case DashStyleDot:
        pattern_ = {1, 1};
        break;
    case DashStyleDashDot:
        pattern_ = {3, 1, 1, 1};
        break;
    case DashStyleDashDotDot:
        pattern_ = {3, 1, 1, 1, 1, 1};
        break;
    case DashStyleCustom:
        if (pattern_.empty())
            return InvalidParameter;
        break;
    default:
        return InvalidParameter;
    }
    dash_ = style;
    return Ok;
}

Status Pen::SetDashPattern(const REAL* dashArray, INT count)
{
    if (!dashArray || count <= 0 || count % 2 != 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i)
        if (!(dashArray[i] > 0))
            return InvalidParameter;
    pattern_.assign(dashArray, dashArray + count);
    dash_ = DashStyleCustom;
    return Ok;
}

QPen Pen::ToQPen(const QTransform& world) const
{
    // Width 0 is a one-pixel pen in GDI+; Qt's cosmetic pen is the same.
    QPen pen(brush_->GetLastStatus() == Ok ? brush_->ToQBrush(world) : QBrush(Qt::NoBrush),
             width_ > 0 ? qreal(width_) : 0.0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setMiterLimit(10.0);
    if (!pattern_.empty()) {
        QList<qreal> dashes;
        for (REAL d : pattern_)
            dashes.append(d);
        pen.setDashPattern(dashes);
    }
    return pen;
}

} // namespace lumora::gdiplus
