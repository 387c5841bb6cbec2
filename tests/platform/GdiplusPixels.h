#pragma once

// Helpers of the drawing-layer pixel tests: a blank surface and colour
// comparison with a per-channel tolerance.

#include "platform/gdiplus/GdiplusTypes.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace lumora::gdiplus::testing {

inline QImage Surface(int w, int h, QRgb fill = 0xFFFFFFFF)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

inline Color PixelAt(const QImage& img, int x, int y)
{
    return Color(ARGB(qUnpremultiply(img.pixel(x, y))));
}

inline std::string Hex(Color c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", unsigned(c.GetValue()));
    return buf;
}

// True when every channel of a and b differs by at most tol.
inline ::testing::AssertionResult Near(Color a, Color b, int tol)
{
    auto d = [](int x, int y) { return std::abs(x - y); };
    if (d(a.GetA(), b.GetA()) <= tol && d(a.GetR(), b.GetR()) <= tol && d(a.GetG(), b.GetG()) <= tol
        && d(a.GetB(), b.GetB()) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Hex(a) << " vs " << Hex(b) << " (tolerance " << tol << ")";
}

} // namespace lumora::gdiplus::testing
