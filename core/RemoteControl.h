#pragma once

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

// Carries out --get-level or --set-level against the running copy and
// returns the exit code: 0 done (the level printed on stdout for
// --get-level), 1 when no copy runs or the call failed, 2 when the copy
// refused the level. Messages go to stderr.
int RunRemoteCommand(const ProgramOptions& options);

} // namespace lumora
