#include "platform/framework/Application.h"

#include "platform/framework/Dialogs.h"
#include "platform/framework/Exception.h"

#include <QMetaObject>

namespace lumora {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString TApplication::Title() const { return ApplicationTitle(); }

void TApplication::SetTitle(const QString& title) { SetApplicationTitle(title); }

TApplication* Application() { return qobject_cast<TApplication*>(QCoreApplication::instance()); }

void TApplication::Terminate()
{
    terminated_ = true;
    QMetaObject::invokeMethod(this, &QCoreApplication::quit, Qt::QueuedConnection);
}

int TApplication::Run()
{
    // A Terminate before the loop (a surplus copy ending itself during
    // start-up) ends the program without showing anything.
    if (terminated_)
        return 0;
    if (mainForm_ != nullptr && showMainForm_)
        mainForm_->show();
    return exec();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}

bool RunGuarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}

void HandleException(std::exception_ptr error)
{
    TApplication* app = Application();
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        if (app != nullptr && app->OnException)
            app->OnException(e);
        else
            ShowErrorBox(e.Message());
    } catch (const std::exception& e) {
        if (app != nullptr && app->OnException)
            app->OnException(e);
        else
            ShowErrorBox(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        // Not ours to understand, but still not a reason to end the program.
        ShowErrorBox(QStringLiteral("Unknown software exception."));
    }
}

} // namespace lumora
