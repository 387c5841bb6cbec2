#pragma once

#include "platform/shell/BrightnessBusService.h"

namespace lumora {

class BrightnessBusService;
class TForm1;
struct ProgramOptions;

// Scripts and desktop shortcuts drive the running program over the session
// bus: the first copy serves the interface, and `lumora --get-level` or
// `--set-level N` started beside it ask it there.

// Connects the bus object to the window: Level reads the level the gauge
// shows, SetLevel sets one as the user's choice would, and every change of
// the shown level is announced.
void ConnectBrightnessBus(TForm1& form, BrightnessBusService& service);

// Every monitor with the level index it shows through its range.
BusMonitorList BusMonitors(TForm1& form);
// One monitor to a level index, through its range. The monitor the program
// works on alone is set as the user's choice would; any other monitor is
// written by itself, and the views move only when it is the one they show.
void SetMonitorLevel(TForm1& form, const QString& id, int level);

// Carries out --get-level, --set-level (with --monitor) or --list-monitors against the running copy and
// returns the exit code: 0 done (the level printed on stdout for
// --get-level), 1 when no copy runs or the call failed, 2 when the copy
// refused the level. Messages go to stderr.
int RunRemoteCommand(const ProgramOptions& options);

} // namespace lumora
