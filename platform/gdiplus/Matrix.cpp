#include "platform/gdiplus/Matrix.h"

namespace lumora::gdiplus {

// Qt composes row-vector transforms: a * b applies a first. GDI+ "prepend"
// means the new operation applies first.
void Matrix::Combine(const QTransform& op, MatrixOrder order)
{
    t_ = order == MatrixOrderPrepend ? op * t_ : t_ * op;
}

Status Matrix::Translate(REAL dx, REAL dy, MatrixOrder order)
{
    Combine(QTransform::fromTranslate(dx, dy), order);
    return Ok;
}

Status Matrix::Scale(REAL sx, REAL sy, MatrixOrder order)
{
    Combine(QTransform::fromScale(sx, sy), order);
    return Ok;
}

Status Matrix::Rotate(REAL angle, MatrixOrder order)
{
    QTransform r;
    r.rotate(angle);
    Combine(r, order);
    return Ok;
}

Status Matrix::Multiply(const Matrix& other, MatrixOrder order)
{
    Combine(other.t_, order);
    return Ok;
}

Status Matrix::Reset()
{
    t_.reset();
    return Ok;
}

Status Matrix::Invert()
{
    bool invertible = false;
    QTransform inv = t_.inverted(&invertible);
    if (!invertible)
        return InvalidParameter;
    t_ = inv;
    return Ok;
}

PointF Matrix::TransformPoint(PointF p) const
{
    QPointF q = t_.map(QPointF(p.X, p.Y));
    return PointF(REAL(q.x()), REAL(q.y()));
}

} // namespace lumora::gdiplus
