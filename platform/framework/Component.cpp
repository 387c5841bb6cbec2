#include "platform/framework/Component.h"

#include <algorithm>

namespace lumora {

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_ != nullptr) {
        owner_->components_.push_back(this);
        // A component created while its owner loads takes part in that load.
        if (owner_->IsLoading())
            state_ |= csLoading;
    }
}

TComponent::~TComponent()
{
    state_ |= csDestroying;
    for (TComponent* child : components_)
        child->owner_ = nullptr;
    if (owner_ != nullptr)
        owner_->Remove(this);
}

void TComponent::Remove(TComponent* child)
{
    components_.erase(std::remove(components_.begin(), components_.end(), child), components_.end());
}

void TComponent::BeginLoading()
{
    state_ |= csLoading;
    for (TComponent* child : components_)
        child->BeginLoading();
}

void TComponent::EndLoading()
{
    // Copy: a Loaded() handler may create or destroy components.
    const std::vector<TComponent*> children = components_;
    for (TComponent* child : children) {
        if (std::find(components_.begin(), components_.end(), child) != components_.end())
            child->EndLoading();
    }
    if (IsLoading()) {
        state_ &= ~TComponentState(csLoading);
        Loaded();
    }
}

} // namespace lumora
