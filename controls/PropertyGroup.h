#pragma once

#include "platform/framework/Persistent.h"

namespace lumora {

// A property group whose plain values live together in one struct, Data.
// Assign from a group of the same class copies that struct whole, with the
// compiler's copy, so a value added to Data is copied without a line more
// here; then it notifies once. A group that also owns sub-objects with their
// own notification (a gloss, a fill, a font) overrides Assign: it copies
// data_ the same way and the sub-objects through their own Assign.
//
// Self is the group class itself, the only kind of source Assign accepts.
template <typename Self, typename Data>
class TPropertyGroup : public TPersistent {
public:
    // All plain values of the group at once.
    const Data& Values() const { return data_; }

    void Assign(const TPersistent& source) override
    {
        const Self* other = dynamic_cast<const Self*>(&source);
        if (!other)
            return TPersistent::Assign(source);
        data_ = other->Values();
        Changed();
    }

protected:
    Data data_;
};

} // namespace lumora
