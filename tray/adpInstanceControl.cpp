#include "tray/adpInstanceControl.h"

#include "platform/shell/ActivationToken.h"
#include "platform/shell/InstanceRecord.h"
#include "platform/shell/RaiseChannel.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>

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
    recordFolder_ = TInstanceRecord::RuntimeFolder().value_or(QString());
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
    // Without a folder of our own, or with a record that cannot be used, the
    // copy runs uncounted: a second copy is a smaller harm than a program
    // that another user can stop or hang.
    const auto runUncounted = [this](const QString& why) {
        std::fprintf(stderr, "lumora: %s; running without the single-instance check\n", qPrintable(why));
        raiseServer_.reset();
        record_.reset();
        counted_ = false;
    };
    if (recordFolder_.isEmpty()) {
        runUncounted(QStringLiteral("no private runtime folder (XDG_RUNTIME_DIR is not set or not safe)"));
        return;
    }
    TInstanceRecord::Check check;
    try {
        record_ = std::make_unique<TInstanceRecord>(TInstanceRecord::NameFromExecutable(executablePath_), recordFolder_);
        check = record_->Register(WindowHandleOf(window_), maxInstances_);
    } catch (const EOSError& e) {
        runUncounted(e.Message());
        return;
    }
    if (check.Counted) {
        // The registered copy answers later copies' requests to come forward.
        raiseServer_ = std::make_unique<TRaiseServer>(record_->ServerPath());
        raiseServer_->OnRaiseRequest = [this] { RestoreAndActivate(window_); };
        try {
            raiseServer_->Listen();
        } catch (const EOSError& e) {
            // Counted still: later copies end, they just cannot bring this one forward.
            std::fprintf(stderr, "lumora: %s\n", qPrintable(e.Message()));
            raiseServer_.reset();
        }
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
    if (record_ && counted_) {
        try {
            record_->Unregister();
        } catch (const Exception&) {
            // The record stays stuck for now; this copy's slot goes with its
            // descriptor all the same.
        }
    }
    record_.reset();
}

} // namespace lumora
