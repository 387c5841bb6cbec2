#pragma once

#include "platform/device/WbemObject.h"

#include <memory>
#include <vector>

namespace lumora {

// The answer to a query: its objects in order. The set stays usable after the
// services object and the connection that produced it are gone.
class WbemObjectSet {
public:
    WbemObjectSet() = default;
    explicit WbemObjectSet(std::vector<std::shared_ptr<WbemObject>> objects) : objects_(std::move(objects)) {}

    int Count() const { return int(objects_.size()); }
    const std::shared_ptr<WbemObject>& ItemIndex(int index) const { return objects_.at(std::size_t(index)); }

    // Walks a set from its first object; Reset starts the walk again.
    class Enumerator {
    public:
        explicit Enumerator(const WbemObjectSet& set) : set_(&set) {}
        // The next object, or nullptr past the end.
        std::shared_ptr<WbemObject> Next();
        void Reset() { position_ = 0; }

    private:
        const WbemObjectSet* set_;
        std::size_t position_ = 0;
    };

    Enumerator NewEnum() const { return Enumerator(*this); }

private:
    std::vector<std::shared_ptr<WbemObject>> objects_;
};

} // namespace lumora
