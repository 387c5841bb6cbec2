#include "platform/framework/Application.h"
#include "platform/framework/Dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// No test may block on a modal box: a box that a test did not ask for is a
// failure that names its text. Tests that expect boxes put their own
// recorder in place (TMessageBoxesScope).
class UnexpectedMessageBoxes : public lumora::TMessageBoxes {
public:
    void ShowMessage(QWidget*, const QString& title, const QString& text) override
    {
        ADD_FAILURE() << "unexpected message box \"" << title.toStdString() << "\": " << text.toStdString();
    }
    bool AskYesNo(QWidget*, const QString& caption, const QString& text) override
    {
        ADD_FAILURE() << "unexpected question \"" << caption.toStdString() << "\": " << text.toStdString();
        return false;
    }
    void ShowError(QWidget*, const QString& title, const QString& text) override
    {
        ADD_FAILURE() << "unexpected error box \"" << title.toStdString() << "\": " << text.toStdString();
    }
};

// Each test starts as a fresh program: an error box an earlier test showed
// does not hide a repeat of it.
class FreshErrorReports : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { lumora::ForgetShownErrors(); }
};

} // namespace

int main(int argc, char** argv)
{
    // Widget and pixel tests need no display.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    // The program's own application object, so exceptions escaping event
    // handlers behave in tests as they do in the program.
    lumora::TApplication app(argc, argv);
    UnexpectedMessageBoxes boxes;
    lumora::SetMessageBoxes(&boxes);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshErrorReports);
    const int result = RUN_ALL_TESTS();
    lumora::SetMessageBoxes(nullptr);
    return result;
}
