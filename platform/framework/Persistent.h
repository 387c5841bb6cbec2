#pragma once

#include "platform/framework/Events.h"

namespace lumora {

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

private:
    int updateCount_ = 0;
    bool changedWhileUpdating_ = false;
};

} // namespace lumora
