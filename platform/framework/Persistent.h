#pragma once

#include "platform/framework/Events.h"

namespace lumora {

// Stores value into field; true when it differed. Every property setter of
// the control kit goes through it, so "same value twice notifies nothing"
// holds everywhere (doubles compare exactly).
template <typename T>
bool StoreIfDifferent(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

// Base of the owned sub-objects of a control (fonts, fills, captions, parts).
// Each announces its changes through OnChange, which the owning control
// connects to its own change handler. Changes made between BeginUpdate and
// EndUpdate are announced once, at the outermost EndUpdate.
class TPersistent : public TObject {
public:
    TNotifyEvent OnChange;

    // Copies the values of source into this object. The base knows no
    // values and raises EConvertError "Cannot assign a ... to a ...".
    virtual void Assign(const TPersistent& source);

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

protected:
    TPersistent() = default;
    TPersistent(const TPersistent&) = default;
    TPersistent& operator=(const TPersistent&) = default;

    // Fires OnChange, or remembers to fire it when an update is open.
    void Changed();

    // The plain property setter: store, and announce only a real change.
    template <typename T>
    void SetProperty(T& field, const T& value)
    {
        if (StoreIfDifferent(field, value))
            Changed();
    }

private:
    int updateCount_ = 0;
    bool changedWhileUpdating_ = false;
};

} // namespace lumora
