#include "platform/device/WbemObjectSet.h"

namespace lumora {

std::shared_ptr<WbemObject> WbemObjectSet::Enumerator::Next()
{
    if (position_ >= set_->objects_.size())
        return nullptr;
    return set_->objects_[position_++];
}

} // namespace lumora
