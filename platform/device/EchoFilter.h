#pragma once

#include <deque>

namespace lumora {

// Tells the reports of our own writes from changes made elsewhere. A device
// or service reports every value it is set to, often after the next write
// has been made (a dragged track bar writes many values in a row); so the
// percents written and not yet reported are kept in order, and a report
// that matches one of them is its echo. Reports of a value are compared in
// the reporter's own unit: a percent p matches value v when p converts to v
// on the range 0..maximum.
class EchoFilter {
public:
    // How many unreported writes are kept; a reporter that skips values (it
    // coalesces them) never lets the list grow past this.
    static constexpr int kKept = 32;

    void Wrote(int percent);
    // True for the echo of a write: it and every older write are forgotten.
    // False for a change made elsewhere.
    bool IsEcho(int value, int maximum);
    void Clear() { pending_.clear(); }

private:
    std::deque<int> pending_;
};

} // namespace lumora
