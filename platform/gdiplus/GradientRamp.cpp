#include "platform/gdiplus/GradientRamp.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lumora::gdiplus {

namespace {

constexpr double kGamma = 2.2;

// Channel value 0..255 to linear light 0..1.
const std::array<double, 256>& ToLinearTable()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = std::pow(i / 255.0, kGamma);
        return t;
    }();
    return table;
}

int FromLinear(double v)
{
    return int(255.0 * std::pow(std::clamp(v, 0.0, 1.0), 1.0 / kGamma) + 0.5);
}

int Lerp(int a, int b, double f)
{
    return int(a + (b - a) * f + 0.5);
}

int MixChannel(int a, int b, double f, bool gamma)
{
    if (!gamma)
        return Lerp(a, b, f);
    const auto& lin = ToLinearTable();
    return FromLinear(lin[a] + (lin[b] - lin[a]) * f);
}

void AddGammaStops(QGradientStops& out, const RampStop& a, const RampStop& b, double f0, double f1, Color c0,
                   Color c1, int depth);

} // namespace

Color MixColors(const Color& a, const Color& b, double f, bool gamma)
{
    return Color(std::uint8_t(Lerp(a.GetA(), b.GetA(), f)), std::uint8_t(MixChannel(a.GetR(), b.GetR(), f, gamma)),
                 std::uint8_t(MixChannel(a.GetG(), b.GetG(), f, gamma)),
                 std::uint8_t(MixChannel(a.GetB(), b.GetB(), f, gamma)));
}

namespace {

// Adds the stops strictly between f0 and f1 (shares of the way from a to b);
// c0 and c1 are the exact colours at f0 and f1.
void AddGammaStops(QGradientStops& out, const RampStop& a, const RampStop& b, double f0, double f1, Color c0,
                   Color c1, int depth)
{
    const double fm = (f0 + f1) / 2;
    const Color exact = MixColors(a.color, b.color, fm, true);
    const Color straight = MixColors(c0, c1, 0.5, false);
    auto off = [](int x, int y) { return std::abs(x - y) > 0; };
    const bool close = !off(exact.GetR(), straight.GetR()) && !off(exact.GetG(), straight.GetG())
                       && !off(exact.GetB(), straight.GetB());
    const double width = (f1 - f0) * (b.position - a.position);
    if ((close && depth >= 2) || width <= 1.0 / 1024)
        return;
    AddGammaStops(out, a, b, f0, fm, c0, exact, depth + 1);
    out.append({a.position + (b.position - a.position) * fm, exact.ToQColor()});
    AddGammaStops(out, a, b, fm, f1, exact, c1, depth + 1);
}

} // namespace

bool ValidBlendPositions(const REAL* positions, INT count)
{
    if (!positions || count < 2 || positions[0] != 0.0f || positions[count - 1] != 1.0f)
        return false;
    for (INT i = 1; i < count; ++i)
        if (!(positions[i] >= positions[i - 1]))
            return false;
    return true;
}

ColorRamp ColorRamp::TwoColor(const Color& from, const Color& to)
{
    ColorRamp r;
    r.stops_ = {{0.0, from}, {1.0, to}};
    return r;
}

ColorRamp ColorRamp::Blend(const Color& from, const Color& to, const REAL* factors, const REAL* positions, INT count)
{
    if (!factors || !positions || count < 2)
        return TwoColor(from, to);
    ColorRamp r;
    for (INT i = 0; i < count; ++i) {
        double f = std::clamp(double(factors[i]), 0.0, 1.0);
        // A blend factor is mixed without gamma: the factor itself is the
        // share of the second colour; gamma applies between the stops.
        r.stops_.push_back({std::clamp(double(positions[i]), 0.0, 1.0), MixColors(from, to, f, false)});
    }
    std::stable_sort(r.stops_.begin(), r.stops_.end(),
                     [](const RampStop& a, const RampStop& b) { return a.position < b.position; });
    return r;
}

ColorRamp ColorRamp::Preset(const Color* colors, const REAL* positions, INT count)
{
    ColorRamp r;
    if (!colors || !positions || count < 1)
        return r;
    for (INT i = 0; i < count; ++i)
        r.stops_.push_back({std::clamp(double(positions[i]), 0.0, 1.0), colors[i]});
    std::stable_sort(r.stops_.begin(), r.stops_.end(),
                     [](const RampStop& a, const RampStop& b) { return a.position < b.position; });
    return r;
}

Color ColorRamp::At(double t, bool gamma) const
{
    if (stops_.empty())
        return Color(0);
    if (!(t > stops_.front().position))
        return stops_.front().color;
    if (!(t < stops_.back().position))
        return stops_.back().color;
    auto hi = std::upper_bound(stops_.begin(), stops_.end(), t,
                               [](double v, const RampStop& s) { return v < s.position; });
    auto lo = hi - 1;
    double span = hi->position - lo->position;
    double f = span > 0 ? (t - lo->position) / span : 1.0;
    return MixColors(lo->color, hi->color, f, gamma);
}

QGradientStops ColorRamp::ToQStops(bool gamma) const
{
    QGradientStops out;
    if (stops_.empty())
        return out;
    auto add = [&out](double pos, const Color& c) { out.append({pos, c.ToQColor()}); };
    if (stops_.front().position > 0)
        add(0.0, stops_.front().color);
    for (size_t i = 0; i < stops_.size(); ++i) {
        add(stops_[i].position, stops_[i].color);
        if (!gamma || i + 1 == stops_.size())
            continue;
        // Piecewise-linear stand-in for the light curve between two stops:
        // halve each piece until its middle rounds to the exact mix, down to
        // Qt's own table resolution (1/1024).
        const RampStop& a = stops_[i];
        const RampStop& b = stops_[i + 1];
        if (a.color == b.color)
            continue;
        AddGammaStops(out, a, b, 0.0, 1.0, a.color, b.color, 0);
    }
    if (stops_.back().position < 1)
        add(1.0, stops_.back().color);
    return out;
}

void ColorRamp::FillTable(QRgb* table, int n, bool gamma) const
{
    if (stops_.empty()) {
        std::fill(table, table + n, QRgb(0));
        return;
    }
    // One walk over the entries and the stops together; this runs for every
    // path-gradient fill, so no search per entry.
    const auto& lin = ToLinearTable();
    size_t seg = 0;
    for (int i = 0; i < n; ++i) {
        const double t = n > 1 ? double(i) / (n - 1) : 0.0;
        while (seg + 1 < stops_.size() && !(t < stops_[seg + 1].position))
            ++seg;
        Color c;
        if (!(t > stops_.front().position)) {
            c = stops_.front().color;
        } else if (seg + 1 >= stops_.size()) {
            c = stops_.back().color;
        } else {
            const RampStop& a = stops_[seg];
            const RampStop& b = stops_[seg + 1];
            const double span = b.position - a.position;
            const double f = span > 0 ? (t - a.position) / span : 1.0;
            auto plain = [f](int x, int y) { return int(x + (y - x) * f + 0.5); };
            auto light = [f, &lin](int x, int y) { return FromLinear(lin[x] + (lin[y] - lin[x]) * f); };
            const Color& ca = a.color;
            const Color& cb = b.color;
            if (gamma)
                c = Color(std::uint8_t(plain(ca.GetA(), cb.GetA())), std::uint8_t(light(ca.GetR(), cb.GetR())),
                          std::uint8_t(light(ca.GetG(), cb.GetG())), std::uint8_t(light(ca.GetB(), cb.GetB())));
            else
                c = Color(std::uint8_t(plain(ca.GetA(), cb.GetA())), std::uint8_t(plain(ca.GetR(), cb.GetR())),
                          std::uint8_t(plain(ca.GetG(), cb.GetG())), std::uint8_t(plain(ca.GetB(), cb.GetB())));
        }
        table[i] = qPremultiply(c.GetValue());
    }
}

} // namespace lumora::gdiplus
