#pragma once

#include "platform/gdiplus/Brush.h"

#include <QPen>

#include <memory>
#include <vector>

namespace lumora::gdiplus {

// A pen of a width (0 draws one pixel) and a colour or brush. Dash lengths
// are multiples of the width as in GDI+: dot 1-1, dash 3-1, dash-dot
// 3-1-1-1, dash-dot-dot 3-1-1-1-1-1; dashes have flat ends.
class Pen {
public:
    explicit Pen(const Color& color, REAL width = 1.0f);
    explicit Pen(const Brush* brush, REAL width = 1.0f);
    Pen(const Pen& other);
    Pen& operator=(const Pen& other);
    ~Pen();

    Status SetWidth(REAL width);
    REAL GetWidth() const { return width_; }
    Status SetColor(const Color& color);
    Status GetColor(Color* color) const;
    Status SetBrush(const Brush* brush);
    const Brush* GetBrush() const { return brush_.get(); }
    Status SetDashStyle(DashStyle style);
    DashStyle GetDashStyle() const { return dash_; }
    Status SetDashPattern(const REAL* dashArray, INT count);
    Status GetLastStatus() const { return status_; }

    QPen ToQPen(const QTransform& world) const;

private:
    REAL width_;
    std::unique_ptr<Brush> brush_;
    DashStyle dash_ = DashStyleSolid;
    std::vector<REAL> pattern_;
    Status status_ = Ok;
};

} // namespace lumora::gdiplus
