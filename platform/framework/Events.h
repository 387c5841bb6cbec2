#pragma once

#include <functional>

namespace lumora {

class TObject;

// Events are optional callbacks with the sender first; an unset event is skipped.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Calls an event when it is set.
template <typename Event, typename... Args>
void Fire(const Event& event, Args&&... args)
{
    if (event)
        event(std::forward<Args>(args)...);
}

// The root of every object that can be an event's sender.
class TObject {
public:
    virtual ~TObject() = default;
};

} // namespace lumora
