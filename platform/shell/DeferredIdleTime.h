#pragma once

#include "platform/shell/IdleTime.h"

#include <memory>

namespace lumora {

// Stands for the session's idle source until it is opened, which the program
// does once its window has shown: asked before then, nobody has been idle.
class DeferredIdleTime : public IdleTimeSource {
public:
    void Open(std::unique_ptr<IdleTimeSource> source) { source_ = std::move(source); }
    bool Opened() const { return source_ != nullptr; }
    quint32 IdleSeconds() override { return source_ ? source_->IdleSeconds() : 0; }

private:
    std::unique_ptr<IdleTimeSource> source_;
};

} // namespace lumora
