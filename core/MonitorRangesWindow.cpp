#include "core/MonitorRangesWindow.h"

#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "core/AllMonitors.h"
#include "core/MainWindowLook.h"
#include "platform/framework/Application.h"

#include <QLabel>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

constexpr int kMargin = 12;
constexpr int kNameWidth = 150;
constexpr int kBarWidth = 260;
constexpr int kBarHeight = 64;
constexpr int kGap = 12;
constexpr int kHeaderHeight = 24;

QString RowName(const MonitorInfo& monitor)
{
    if (monitor.Panel)
        return QStringLiteral("Built-in panel");
    return monitor.Model.isEmpty() ? monitor.InstanceName : monitor.Model;
}

TAdvSmoothTrackBar* RangeBar(QWidget* parent, const QRect& place, int percent)
{
    auto* bar = new TAdvSmoothTrackBar(parent);
    ApplyMainWindowTrackBarLook(*bar);
    bar->SetDirection(dHorizontal);
    // Any whole percent, not only the tens the main window snaps to.
    bar->SetSnapToTickMarks(false);
    // A narrower scale than the main window's: every other number, so that
    // the numbers do not run into each other.
    bar->OnDrawNumber = [](TObject*, double value, QString&, bool& drawText, bool&) {
        drawText = qRound(value) % 20 == 0;
    };
    bar->setGeometry(place);
    bar->SetPosition(percent);
    return bar;
}

} // namespace

MonitorRangeRow MonitorRangeRowAt(int row)
{
    const int top = kMargin + kHeaderHeight + row * (kBarHeight + kGap);
    const int lowestLeft = kMargin + kNameWidth + kGap;
    return MonitorRangeRow{QRect(kMargin, top, kNameWidth, kBarHeight), QRect(lowestLeft, top, kBarWidth, kBarHeight),
                           QRect(lowestLeft + kBarWidth + kGap, top, kBarWidth, kBarHeight)};
}

QSize MonitorRangesWindowSize(int rows)
{
    const MonitorRangeRow last = MonitorRangeRowAt(std::max(rows, 1) - 1);
    return QSize(last.Highest.right() + 1 + kMargin, last.Highest.bottom() + 1 + kMargin);
}

TMonitorRangesWindow::TMonitorRangesWindow(TAllMonitors& monitors, QWidget* parent)
    : QWidget(parent, Qt::Window), monitors_(monitors)
{
    setWindowTitle(QStringLiteral("Monitors"));
    // Monitors found, lost or plugged in while the window is open get or
    // lose their rows.
    if (MonitorSetProvider* set = monitors_.MonitorSet()) {
        connect(set, &MonitorSetProvider::MonitorsChanged, this, [this] { Follow(); });
        connect(set, &MonitorSetProvider::DetectionFinished, this, [this] { Follow(); });
    }
    const MonitorRangeRow first = MonitorRangeRowAt(0);
    auto* lowest = new QLabel(QStringLiteral("Lowest"), this);
    lowest->setGeometry(first.Lowest.left(), kMargin, kBarWidth, kHeaderHeight);
    auto* highest = new QLabel(QStringLiteral("Highest"), this);
    highest->setGeometry(first.Highest.left(), kMargin, kBarWidth, kHeaderHeight);
    Rebuild();
}

void TMonitorRangesWindow::Rebuild()
{
    Follow();
    // Shown anew: each track bar on the range kept.
    for (const Row& row : rows_) {
        for (const MonitorInfo& monitor : monitors_.Monitors()) {
            if (monitor.InstanceName != row.InstanceName)
                continue;
            const MonitorRange range = monitors_.RangeOf(monitor);
            moving_ = true;
            row.Lowest->SetPosition(range.Lowest);
            row.Highest->SetPosition(range.Highest);
            moving_ = false;
        }
    }
}

void TMonitorRangesWindow::Follow()
{
    std::vector<MonitorInfo> wanted;
    for (const MonitorInfo& monitor : monitors_.Monitors()) {
        if (monitor.Controllable)
            wanted.push_back(monitor);
    }
    // A monitor that went leaves with its row; the rows of those still here
    // stay as they are, so a track bar in the user's hand is not taken away.
    std::vector<Row> kept;
    for (Row& row : rows_) {
        const bool stays = std::any_of(wanted.begin(), wanted.end(),
                                       [&](const MonitorInfo& m) { return m.InstanceName == row.InstanceName; });
        if (stays) {
            kept.push_back(row);
        } else {
            delete row.Name;
            delete row.Lowest;
            delete row.Highest;
        }
    }
    rows_.clear();
    for (const MonitorInfo& monitor : wanted) {
        const auto known = std::find_if(kept.begin(), kept.end(),
                                        [&](const Row& r) { return r.InstanceName == monitor.InstanceName; });
        const MonitorRangeRow place = MonitorRangeRowAt(int(rows_.size()));
        Row row;
        if (known != kept.end()) {
            row = *known;
            row.Name->setText(RowName(monitor));
        } else {
            const MonitorRange range = monitors_.RangeOf(monitor);
            row.InstanceName = monitor.InstanceName;
            row.Name = new QLabel(RowName(monitor), this);
            row.Lowest = RangeBar(this, place.Lowest, range.Lowest);
            row.Highest = RangeBar(this, place.Highest, range.Highest);
            row.Lowest->OnPositionChanging = [this, row](TObject*, double) { RangeMoved(row, false, false); };
            row.Highest->OnPositionChanging = [this, row](TObject*, double) { RangeMoved(row, true, false); };
            row.Lowest->OnPositionChanged = [this, row](TObject*, double) { RangeMoved(row, false, true); };
            row.Highest->OnPositionChanged = [this, row](TObject*, double) { RangeMoved(row, true, true); };
        }
        row.Name->setGeometry(place.Name);
        row.Lowest->setGeometry(place.Lowest);
        row.Highest->setGeometry(place.Highest);
        row.Name->show();
        row.Lowest->show();
        row.Highest->show();
        rows_.push_back(row);
    }
    // The keyboard goes down the rows in their order.
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        setTabOrder(rows_[i].Lowest, rows_[i].Highest);
        if (i + 1 < rows_.size())
            setTabOrder(rows_[i].Highest, rows_[i + 1].Lowest);
    }
    setFixedSize(MonitorRangesWindowSize(int(rows_.size())));
}

void TMonitorRangesWindow::RangeMoved(const Row& row, bool highestMoved, bool keep)
{
    if (moving_)
        return;
    int lowest = int(std::lround(row.Lowest->Position()));
    int highest = int(std::lround(row.Highest->Position()));
    // The other end gives way rather than the range turning round.
    moving_ = true;
    if (lowest > highest) {
        if (highestMoved) {
            lowest = highest;
            row.Lowest->SetPosition(lowest);
        } else {
            highest = lowest;
            row.Highest->SetPosition(highest);
        }
    }
    moving_ = false;
    RunGuarded([&] {
        if (keep)
            monitors_.SetRange(row.InstanceName, MonitorRange{lowest, highest});
        else
            monitors_.ShowRange(row.InstanceName, MonitorRange{lowest, highest});
    });
}

TMonitorRangesWindow* ShowMonitorRanges(TAllMonitors& monitors, QWidget* owner)
{
    static QPointer<TMonitorRangesWindow> window;
    if (!window)
        window = new TMonitorRangesWindow(monitors, owner);
    else
        window->Rebuild();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace lumora
