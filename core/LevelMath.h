#pragma once

#include <QString>

namespace lumora {

// Conversions between the three ways the window shows the brightness: the
// level index (gauge), the percentage (track bar) and the efficiency rating
// (chart). Every rounding is to the nearest integer with halves to even.

// Index to the track-bar position shown for it. With a single level there is
// no range to spread over: position 0.
int IndexToPosition(int index, int levelCount);

// Gauge value to the track-bar position while the track bar follows the
// needle: not rounded.
double GaugeValueToPosition(double gaugeValue, int levelCount);

// Track-bar position to level index, the inverse of IndexToPosition:
// round((levelCount - 1) x position / 100), clamped to the levels, so a
// drop on a level's own position lands on that level.
int PositionToIndex(double position, int levelCount);

// Gauge value to level index.
int GaugeValueToIndex(double gaugeValue, int levelCount);

// The chart's rating for a track-bar position: 100 at position 0, 0 at 100.
int RatingValue(double position);

// The gauge's value format for a monitor's level count.
QString GaugeValueFormat(int levelCount);

} // namespace lumora
