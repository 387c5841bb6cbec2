#pragma once

#include <QString>

class QWidget;

namespace lumora {

// The modal message boxes the program shows. Behind an interface so that
// tests put a recorder in place and no box ever blocks a test run.
class TMessageBoxes {
public:
    virtual ~TMessageBoxes() = default;

    // An information box with an OK button.
    virtual void ShowMessage(QWidget* owner, const QString& title, const QString& text) = 0;
    // A question with Yes and No; true on Yes.
    virtual bool AskYesNo(QWidget* owner, const QString& caption, const QString& text) = 0;
    // The standard error box for a failure that ended an event.
    virtual void ShowError(QWidget* owner, const QString& title, const QString& text) = 0;
};

// Real modal boxes (QMessageBox), showing their texts as plain text.
class TQtMessageBoxes : public TMessageBoxes {
public:
    void ShowMessage(QWidget* owner, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* owner, const QString& caption, const QString& text) override;
    void ShowError(QWidget* owner, const QString& title, const QString& text) override;
};

// The boxes in use; real ones unless replaced.
TMessageBoxes& MessageBoxes();
// Replaces the boxes in use and returns the previous ones; nullptr restores
// the real ones. The caller keeps ownership.
TMessageBoxes* SetMessageBoxes(TMessageBoxes* boxes);

// Puts boxes in place for the lifetime of the guard.
class TMessageBoxesScope {
public:
    explicit TMessageBoxesScope(TMessageBoxes& boxes) : previous_(SetMessageBoxes(&boxes)) {}
    ~TMessageBoxesScope() { SetMessageBoxes(previous_); }
    TMessageBoxesScope(const TMessageBoxesScope&) = delete;
    TMessageBoxesScope& operator=(const TMessageBoxesScope&) = delete;

private:
    TMessageBoxes* previous_;
};

// The application's title: the caption of every message box.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// An OK box titled with the application title.
void ShowMessage(const QString& text, QWidget* owner = nullptr);
// A Yes/No question with its own caption; true on Yes.
bool AskYesNo(const QString& caption, const QString& text, QWidget* owner = nullptr);
// The standard error box: titled with the application title, the message as text.
void ShowErrorBox(const QString& message, QWidget* owner = nullptr);

} // namespace lumora
