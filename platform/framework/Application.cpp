#include "platform/framework/Application.h"

#include "platform/framework/Dialogs.h"
#include "platform/framework/Exception.h"

#include <QMetaObject>

namespace lumora {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString TApplication::Title() const { return ApplicationTitle(); }

void TApplication::SetTitle(const QString& title) { SetApplicationTitle(title); }

void TApplication::Terminate() { QMetaObject::invokeMethod(this, &QCoreApplication::quit, Qt::QueuedConnection); }

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
    auto* app = qobject_cast<TApplication*>(QCoreApplication::instance());
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
