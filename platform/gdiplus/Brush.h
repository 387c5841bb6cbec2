#pragma once

#include "platform/gdiplus/GdiplusTypes.h"

#include <QBrush>
#include <QPainterPath>
#include <QTransform>

#include <memory>

class QPainter;

namespace lumora::gdiplus {

enum BrushType {
    BrushTypeSolidColor = 0,
    BrushTypeHatchFill = 1,
    BrushTypeTextureFill = 2,
    BrushTypePathGradient = 3,
    BrushTypeLinearGradient = 4,
};

// Base of every brush. A brush knows how to paint an area given in world
// coordinates (the graphics' coordinates before its transform), and how to
// stand in as a Qt brush for pens and text.
class Brush {
public:
    virtual ~Brush() = default;

    BrushType GetType() const { return type_; }
    Status GetLastStatus() const { return status_; }
    virtual std::unique_ptr<Brush> Clone() const = 0;

    // Paints `area` on the painter. The default fills it with ToQBrush().
    virtual void FillArea(QPainter& painter, const QPainterPath& area) const;
    // This brush as a Qt brush in world coordinates; `world` is the painter's
    // world transform, for brushes that stay aligned to the device (hatches).
    virtual QBrush ToQBrush(const QTransform& world) const = 0;

protected:
    explicit Brush(BrushType type) : type_(type) {}
    Brush(const Brush&) = default;
    Brush& operator=(const Brush&) = default;

    BrushType type_;
    Status status_ = Ok;
};

class SolidBrush : public Brush {
public:
    explicit SolidBrush(const Color& color) : Brush(BrushTypeSolidColor), color_(color) {}

    Status GetColor(Color* color) const;
    Color GetColor() const { return color_; }
    Status SetColor(const Color& color);

    std::unique_ptr<Brush> Clone() const override { return std::make_unique<SolidBrush>(*this); }
    void FillArea(QPainter& painter, const QPainterPath& area) const override;
    QBrush ToQBrush(const QTransform& world) const override;

private:
    Color color_;
};

} // namespace lumora::gdiplus
