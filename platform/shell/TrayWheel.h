#pragma once

namespace lumora {

// The wheel over a tray icon, in whole steps.
//
// Qt reports a wheel in eighths of a degree, 120 to a notch; smooth wheels and
// touchpads send parts of that. Parts add up until they make a notch, and
// what is left over waits for the next turn in the same direction.
class TrayWheelSteps {
public:
    int Add(int angleDelta);

private:
    int rest_ = 0;
};

// A StatusNotifierItem host's Scroll delta in steps. Hosts differ: some send
// one per notch, others Qt's 120 per notch. Every call is at least one step
// its way; a call of several notches of 120 is that many steps.
int StatusNotifierScrollSteps(int delta);

} // namespace lumora
