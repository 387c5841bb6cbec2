#include "platform/framework/Application.h"

#include "platform/framework/Dialogs.h"
#include "platform/framework/Exception.h"

#include <QMetaObject>

#include <cstdio>

namespace lumora {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString TApplication::Title() const { return ApplicationTitle(); }

void TApplication::SetTitle(const QString& title) { SetApplicationTitle(title); }

TApplication* Application() { return qobject_cast<TApplication*>(QCoreApplication::instance()); }

void TApplication::Terminate()
{
    terminated_ = true;
    // exit, not quit: quit first asks every visible window to close and is
    // dropped when one refuses, as the main window does to hide in the tray.
    // Ending must not depend on that, and closing would save the settings.
    QMetaObject::invokeMethod(this, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
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

namespace {

// The error box on screen, and the failure the last box reported.
bool errorBoxOpen = false;
bool anyErrorBox = false;
quint64 lastBoxAction = 0;
QString lastBoxMessage;

bool IsUserAction(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    // Closing a window is a deliberate act too, and its save may fail with
    // the text an earlier box showed (an unreadable settings file).
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

// The standard error box, once per failure and user action: the same
// failure again before the user did anything else (the next step of a drag
// or an animation, a focus change the box itself caused) is written to
// standard error instead of stacking a second, identical box.
void ShowErrorOnce(const QString& message)
{
    const TApplication* app = Application();
    const quint64 action = app != nullptr ? app->UserActions() : 0;
    if (anyErrorBox && action == lastBoxAction && message == lastBoxMessage) {
        std::fprintf(stderr, "lumora: %s\n", qPrintable(message));
        return;
    }
    anyErrorBox = true;
    lastBoxAction = action;
    lastBoxMessage = message;
    const bool outer = !errorBoxOpen;
    errorBoxOpen = true;
    try {
        ShowErrorBox(message);
    } catch (...) {
        if (outer)
            errorBoxOpen = false;
        throw;
    }
    if (outer)
        errorBoxOpen = false;
}

} // namespace

void ForgetShownErrors()
{
    anyErrorBox = false;
    lastBoxMessage.clear();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    if (!errorBoxOpen && IsUserAction(event) && receiver->isWidgetType())
        ++userActions_;
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
            ShowErrorOnce(e.Message());
    } catch (const std::exception& e) {
        if (app != nullptr && app->OnException)
            app->OnException(e);
        else
            ShowErrorOnce(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        // Not ours to understand, but still not a reason to end the program.
        ShowErrorOnce(QStringLiteral("Unknown software exception."));
    }
}

} // namespace lumora
