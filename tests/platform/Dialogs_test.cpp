#include "platform/framework/Dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace lumora;

namespace {

// What the real box showed, read while it is open.
struct Shown {
    Qt::TextFormat format = Qt::AutoText;
    QString text;
    bool seen = false;
};

// Runs show() with a timer that reads the modal box and answers it.
Shown ShowAndAnswer(const std::function<void()>& show)
{
    Shown shown;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        shown.format = box->textFormat();
        shown.text = box->text();
        shown.seen = true;
        box->done(QMessageBox::No);
    });
    poll.start();
    show();
    return shown;
}

} // namespace

// A folder name in an error box is text, whatever it looks like.
TEST(DialogBoxes, EveryBoxShowsOutsideTextAsPlainText)
{
    TQtMessageBoxes boxes;
    const QString hostile = "Cannot read '/home/u/<font size=7><b>big</b></font>/x.png'";
    const std::function<void()> shows[] = {
        [&] { boxes.ShowMessage(nullptr, "Title", hostile); },
        [&] { boxes.ShowError(nullptr, "Title", hostile); },
        [&] { boxes.AskYesNo(nullptr, "Caption", hostile); },
    };
    for (const auto& show : shows) {
        const Shown shown = ShowAndAnswer(show);
        ASSERT_TRUE(shown.seen);
        EXPECT_EQ(shown.format, Qt::PlainText);
        EXPECT_EQ(shown.text, hostile);
    }
}
