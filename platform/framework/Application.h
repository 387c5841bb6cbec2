#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <exception>
#include <functional>

namespace lumora {

// The application object. Every event it delivers runs inside a guard: an
// exception that escapes a handler (a click, a timer, a paint) ends that
// handler only; the standard error box shows its message, titled with the
// application title, and the message loop goes on.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    QString Title() const;
    void SetTitle(const QString& title);

    // Asks the message loop to end the next time it runs; safe to call before
    // the loop has started.
    void Terminate();
    bool Terminated() const { return terminated_; }

    // The program's main window, shown when Run starts the loop unless
    // ShowMainForm was switched off (a start hidden in the tray).
    QWidget* MainForm() const { return mainForm_; }
    void SetMainForm(QWidget* form) { mainForm_ = form; }
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool show) { showMainForm_ = show; }

    // Shows the main form as asked and runs the message loop until
    // Terminate; returns the loop's exit code.
    int Run();

    // Replaces the error box for one exception (the default shows it).
    std::function<void(const std::exception& error)> OnException;

    bool notify(QObject* receiver, QEvent* event) override;

    // Counts the user's presses of keys and mouse buttons, except those that
    // answer an error box: one user action shows at most one box for one
    // failure (a failing device fails again at every step the action makes).
    quint64 UserActions() const { return userActions_; }

private:
    quint64 userActions_ = 0;
    QPointer<QWidget> mainForm_;
    bool showMainForm_ = true;
    bool terminated_ = false;
};

// The running application object, or nullptr when the process runs a plain
// QApplication (or none).
TApplication* Application();

// Runs an action under the same guard the application puts around events;
// returns false when it raised.
bool RunGuarded(const std::function<void()>& action);

// What the guard does with an escaped exception: the application's
// OnException when set, else the standard error box with its message.
void HandleException(std::exception_ptr error);

// Forgets which failure the last error box showed, so that the next one is
// shown even when it repeats it (for a fresh start, such as each test).
void ForgetShownErrors();

} // namespace lumora
