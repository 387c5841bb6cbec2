#pragma once

#include "platform/framework/Events.h"

#include <QString>

#include <vector>

namespace lumora {

// Flags of TComponent::ComponentState; combine with |.
enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,    // the form that holds the component is still being built
    csDesigning = 1u << 1,  // never set by this program; kept so checks read naturally
    csDestroying = 1u << 2, // the component is being destroyed
};
using TComponentState = unsigned;

// Base of everything placed on a form: a name, an integer tag free for the
// program's use, the loading state, and a list of the components it owns.
//
// Ownership here is a registration, not a lifetime: components register with
// their owner so the form can tell them when loading is over, but memory is
// owned the Qt way (widget parents) or by members. Controls are QWidgets that
// also derive from TComponent; TComponent is not a QObject, so the two mix.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;

    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }
    int ComponentCount() const { return int(components_.size()); }

    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    TComponentState ComponentState() const { return state_; }
    bool IsLoading() const { return (state_ & csLoading) != 0; }

    // Marks this component and everything it owns as loading. Setters may
    // check IsLoading() to defer work (recomputing caches, starting timers)
    // until Loaded().
    void BeginLoading();
    // Ends loading: clears the flag and calls Loaded() on every owned
    // component in creation order, then on this one.
    void EndLoading();

protected:
    // Called once after the whole form has been built, with the loading flag
    // already cleared. Overrides call the base first.
    virtual void Loaded() {}

private:
    void Remove(TComponent* child);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    QString name_;
    int tag_ = 0;
    TComponentState state_ = 0;
};

} // namespace lumora
