#include "tray/adpInstanceControl.h"

#include "platform/shell/ActivationToken.h"
#include "platform/shell/InstanceRecord.h"
#include "platform/shell/RaiseChannel.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

namespace lumora {

namespace {
TadpInstanceControl* gInstanceControl = nullptr;
}

TadpInstanceControl::TadpInstanceControl(TComponent* owner, QWidget* window) : TComponent(owner), window_(window)
{
    if (gInstanceControl)
        throw EInstanceControl("Only one copy of this component can be dropped on a form!");
    gInstanceControl = this;
    executablePath_ = QCoreApplication::applicationFilePath();
    recordFolder_ = TInstanceRecord::RuntimeFolder();
    OnTerminate = [] { QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection); };
}

TadpInstanceControl::~TadpInstanceControl()
{
    if (gInstanceControl == this)
        gInstanceControl = nullptr;
    Unregister();
}

void TadpInstanceControl::Loaded()
{
    TComponent::Loaded();
    if (enabled_)
        Check();
}

void TadpInstanceControl::Check()
{
    record_ = std::make_unique<TInstanceRecord>(TInstanceRecord::NameFromExecutable(executablePath_), recordFolder_);
    const TInstanceRecord::Check check = record_->Register(WindowHandleOf(window_), maxInstances_);
    if (check.Counted) {
        // The registered copy answers later copies' requests to come forward.
        raiseServer_ = std::make_unique<TRaiseServer>(record_->ServerPath());
        raiseServer_->OnRaiseRequest = [this] { RestoreAndActivate(window_); };
        raiseServer_->Listen();
        return;
    }

    counted_ = false;
    surplus_ = true;
    if (window_)
        window_->hide();
    if (OnMaxInstancesReached)
        OnMaxInstancesReached(this, check.Before.WindowHandle);
    RequestRaise(record_->ServerPath(), 2000, LaunchActivationToken());
    record_.reset();
    Fire(OnTerminate);
}

void TadpInstanceControl::Unregister()
{
    raiseServer_.reset();
    if (record_ && counted_)
        record_->Unregister();
    record_.reset();
}

} // namespace lumora
