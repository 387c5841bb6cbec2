#include "platform/shell/WaylandIdleNotice.h"

#include "platform/shell/WaylandConnection.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"

namespace lumora {

namespace {

void ExtIdled(void* data, ext_idle_notification_v1*) { static_cast<WaylandIdleNotice*>(data)->Idled(); }
void ExtResumed(void* data, ext_idle_notification_v1*) { static_cast<WaylandIdleNotice*>(data)->Resumed(); }
void KdeIdled(void* data, org_kde_kwin_idle_timeout*) { static_cast<WaylandIdleNotice*>(data)->Idled(); }
void KdeResumed(void* data, org_kde_kwin_idle_timeout*) { static_cast<WaylandIdleNotice*>(data)->Resumed(); }

const ext_idle_notification_v1_listener kExtListener = {ExtIdled, ExtResumed};
const org_kde_kwin_idle_timeout_listener kKdeListener = {KdeIdled, KdeResumed};

} // namespace

WaylandIdleNotice::WaylandIdleNotice(std::shared_ptr<WaylandConnection> connection, uint32_t timeoutMs,
                                     Activity activity)
    : connection_(std::move(connection))
{
    if (connection_->ExtIdleNotifier()) {
        ext_idle_notifier_v1* notifier = connection_->ExtIdleNotifier();
        ext_ = activity == InputOnly && connection_->InputIdleNotifications()
                   ? ext_idle_notifier_v1_get_input_idle_notification(notifier, timeoutMs, connection_->Seat())
                   : ext_idle_notifier_v1_get_idle_notification(notifier, timeoutMs, connection_->Seat());
        ext_idle_notification_v1_add_listener(ext_, &kExtListener, this);
    } else {
        kde_ = org_kde_kwin_idle_get_idle_timeout(connection_->KdeIdle(), connection_->Seat(), timeoutMs);
        org_kde_kwin_idle_timeout_add_listener(kde_, &kKdeListener, this);
    }
    connection_->Flush();
}

WaylandIdleNotice::~WaylandIdleNotice()
{
    if (ext_)
        ext_idle_notification_v1_destroy(ext_);
    if (kde_)
        org_kde_kwin_idle_timeout_release(kde_);
    connection_->Flush();
}

void WaylandIdleNotice::Idled() const
{
    if (OnIdle)
        OnIdle();
}

void WaylandIdleNotice::Resumed() const
{
    if (OnResumed)
        OnResumed();
}

} // namespace lumora
