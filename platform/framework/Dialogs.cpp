#include "platform/framework/Dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include <atomic>

namespace lumora {

namespace {

TQtMessageBoxes& RealBoxes()
{
    static TQtMessageBoxes boxes;
    return boxes;
}

std::atomic<TMessageBoxes*> currentBoxes{nullptr};

// Kept apart from Qt's application display name: the window system appends
// that name to every window title ("Warning — ..."), and the boxes' captions
// must read as they are given.
QString& StoredTitle()
{
    static QString title;
    return title;
}

// Texts from outside (file and folder names, the system's error texts) are
// shown as they are: a name holding "<font size=7>" must not restyle the box.
int RunPlain(QMessageBox& box)
{
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

} // namespace

void TQtMessageBoxes::ShowMessage(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
    RunPlain(box);
}

bool TQtMessageBoxes::AskYesNo(QWidget* owner, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::Yes);
    return RunPlain(box) == QMessageBox::Yes;
}

void TQtMessageBoxes::ShowError(QWidget* owner, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
    RunPlain(box);
}

TMessageBoxes& MessageBoxes()
{
    TMessageBoxes* boxes = currentBoxes.load();
    return boxes != nullptr ? *boxes : RealBoxes();
}

TMessageBoxes* SetMessageBoxes(TMessageBoxes* boxes) { return currentBoxes.exchange(boxes); }

QString ApplicationTitle()
{
    const QString& title = StoredTitle();
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

void SetApplicationTitle(const QString& title) { StoredTitle() = title; }

void ShowMessage(const QString& text, QWidget* owner) { MessageBoxes().ShowMessage(owner, ApplicationTitle(), text); }

bool AskYesNo(const QString& caption, const QString& text, QWidget* owner)
{
    return MessageBoxes().AskYesNo(owner, caption, text);
}

void ShowErrorBox(const QString& message, QWidget* owner)
{
    MessageBoxes().ShowError(owner, ApplicationTitle(), message);
}

} // namespace lumora
