#pragma once

#include "platform/gdiplus/GdiplusTypes.h"

#include <QTransform>

namespace lumora::gdiplus {

// An affine transform with GDI+ conventions: rotation in degrees clockwise
// (y grows downwards), and operations prepended unless told otherwise.
class Matrix {
public:
    Matrix() = default;
    Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) : t_(m11, m12, m21, m22, dx, dy) {}
    explicit Matrix(const QTransform& t) : t_(t) {}

    Status Translate(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status Scale(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status Multiply(const Matrix& other, MatrixOrder order = MatrixOrderPrepend);
    Status Reset();
    Status Invert();
    bool IsIdentity() const { return t_.isIdentity(); }
    PointF TransformPoint(PointF p) const;

    const QTransform& ToQTransform() const { return t_; }

private:
    void Combine(const QTransform& op, MatrixOrder order);
    QTransform t_;
};

} // namespace lumora::gdiplus
