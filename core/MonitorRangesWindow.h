#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

class QLabel;

namespace lumora {

class TAdvSmoothTrackBar;
class TAllMonitors;

// Where the parts of one monitor's row lie in the "Monitors" window: its
// name, then the track bars of its lowest and its highest percent.
struct MonitorRangeRow {
    QRect Name;
    QRect Lowest;
    QRect Highest;
};
MonitorRangeRow MonitorRangeRowAt(int row);
// The window's client size for that many rows.
QSize MonitorRangesWindowSize(int rows);

// The "Monitors" window: one row per monitor that can be set, named by model
// (the panel as "Built-in panel"), with a track bar for the lowest and one
// for the highest percent of its range. The monitor shows the range while a
// track bar moves; letting it go keeps the range.
class TMonitorRangesWindow : public QWidget {
public:
    TMonitorRangesWindow(TAllMonitors& monitors, QWidget* parent = nullptr);

    // The rows for the monitors known now, each track bar on the range kept.
    void Rebuild();
    // Rows for monitors that came, none for those that went; the others stay
    // as they are. Runs by itself whenever the monitors change.
    void Follow();

    struct Row {
        QString InstanceName;
        QLabel* Name = nullptr;
        TAdvSmoothTrackBar* Lowest = nullptr;
        TAdvSmoothTrackBar* Highest = nullptr;
    };
    const std::vector<Row>& Rows() const { return rows_; }

private:
    // A track bar moved: the other end gives way where the range would turn
    // round, and the monitor shows the range; `keep` once it is let go.
    void RangeMoved(const Row& row, bool highestMoved, bool keep);

    TAllMonitors& monitors_;
    std::vector<Row> rows_;
    bool moving_ = false;
};

// Shows the one "Monitors" window, made on first use, and brings it forward.
TMonitorRangesWindow* ShowMonitorRanges(TAllMonitors& monitors, QWidget* owner);

} // namespace lumora
