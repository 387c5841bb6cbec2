#include "platform/framework/Application.h"
#include "platform/framework/Component.h"
#include "platform/framework/Dialogs.h"
#include "platform/framework/Exception.h"
#include "platform/framework/Font.h"
#include "platform/framework/Form.h"
#include "platform/framework/Timer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace lumora;

namespace {

// Records boxes instead of showing them.
class RecordingBoxes : public TMessageBoxes {
public:
    struct Box {
        QString kind;
        QString title;
        QString text;
    };
    std::vector<Box> boxes;
    bool answer = true;

    void ShowMessage(QWidget*, const QString& title, const QString& text) override { boxes.push_back({"ok", title, text}); }
    bool AskYesNo(QWidget*, const QString& caption, const QString& text) override
    {
        boxes.push_back({"yesno", caption, text});
        return answer;
    }
    void ShowError(QWidget*, const QString& title, const QString& text) override { boxes.push_back({"error", title, text}); }
};

class Probe : public TComponent {
public:
    using TComponent::TComponent;
    std::vector<QString>* log = nullptr;
    bool wasLoadingInLoaded = true;

protected:
    void Loaded() override
    {
        TComponent::Loaded();
        wasLoadingInLoaded = IsLoading();
        if (log != nullptr)
            log->push_back(Name());
    }
};

void ProcessFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

TEST(FrameworkComponent, LoadedRunsOnceInCreationOrderAfterLoading)
{
    std::vector<QString> log;
    Probe form;
    form.SetName("form");
    form.log = &log;
    form.BeginLoading();
    Probe a(&form);
    a.SetName("a");
    a.log = &log;
    Probe b(&form);
    b.SetName("b");
    b.log = &log;
    EXPECT_TRUE(a.IsLoading());
    EXPECT_EQ(form.ComponentCount(), 2);
    form.EndLoading();
    EXPECT_EQ(log, (std::vector<QString>{"a", "b", "form"}));
    EXPECT_FALSE(a.wasLoadingInLoaded);
    form.EndLoading(); // a second end is no second load
    EXPECT_EQ(log.size(), 3u);
}

TEST(FrameworkComponent, DestroyedComponentsLeaveTheirOwner)
{
    Probe owner;
    auto* child = new Probe(&owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
    delete child;
    EXPECT_EQ(owner.ComponentCount(), 0);
    auto parent = std::make_unique<Probe>();
    Probe survivor(parent.get());
    parent.reset();
    EXPECT_EQ(survivor.Owner(), nullptr);
}

TEST(FrameworkFont, DefaultsSizeHeightAndOneNotificationPerChange)
{
    TFont font(96);
    EXPECT_EQ(font.Name(), "Tahoma");
    EXPECT_EQ(font.Size(), 8);
    EXPECT_EQ(font.Height(), -11);
    int changes = 0;
    font.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &font);
        ++changes;
    };
    font.SetHeight(-20);
    EXPECT_EQ(font.Size(), 15); // 20 * 72 / 96
    font.SetHeight(-20);
    font.SetStyle(fsBold | fsItalic);
    font.SetColor(clRed);
    EXPECT_EQ(changes, 3);

    TFont other(96);
    other.Assign(font);
    EXPECT_TRUE(other == font);
    font.Assign(other); // same values: silent
    EXPECT_EQ(changes, 3);

    const QFont q = font.ToQFont();
    EXPECT_EQ(q.pixelSize(), 20);
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.italic());
    EXPECT_EQ(font.Description(), (TFontDescription{"Tahoma", 15, fsBold | fsItalic}));
}

TEST(FrameworkFont, AssignAcrossResolutionsKeepsPointSize)
{
    TFont design(120);
    design.SetHeight(-20); // the design height of the window's labels
    TFont screen(96);
    screen.Assign(design);
    EXPECT_EQ(screen.Height(), -16);
    EXPECT_EQ(screen.Size(), design.Size());
}

TEST(FrameworkFont, UpdateBracketNotifiesOnce)
{
    TFont font(96);
    int changes = 0;
    font.OnChange = [&](TObject*) { ++changes; };
    font.BeginUpdate();
    font.SetName("Arial");
    font.SetSize(12);
    EXPECT_EQ(changes, 0);
    font.EndUpdate();
    EXPECT_EQ(changes, 1);
}

TEST(FrameworkTimer, RunsOnlyWhenEnabledWithPositiveInterval)
{
    TTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        ++ticks;
    };
    timer.SetEnabled(false);
    timer.SetInterval(5);
    EXPECT_FALSE(timer.IsRunning());
    ProcessFor(30);
    EXPECT_EQ(ticks, 0);

    timer.SetInterval(0);
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.IsRunning()); // zero interval: nothing runs
    timer.SetInterval(5);
    EXPECT_TRUE(timer.IsRunning());
    ProcessFor(60);
    EXPECT_GE(ticks, 2);

    // A handler that switches its own timer off runs once more at most.
    ticks = 0;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        timer.SetEnabled(false);
    };
    ProcessFor(40);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.IsRunning());
    timer.SetTag(55);
    EXPECT_EQ(timer.Tag(), 55);
}

TEST(FrameworkTimer, WaitsForTheFormToFinishLoading)
{
    Probe form;
    form.BeginLoading();
    TTimer timer(&form);
    timer.SetInterval(5);
    EXPECT_FALSE(timer.IsRunning());
    form.EndLoading();
    EXPECT_TRUE(timer.IsRunning());
}

TEST(FrameworkApplication, ThrowingHandlerShowsOneErrorBoxAndTheLoopGoesOn)
{
    RecordingBoxes boxes;
    TMessageBoxesScope scope(boxes);
    const QString oldTitle = ApplicationTitle();
    SetApplicationTitle("Lumora Brightness Control");

    TTimer failing;
    failing.SetInterval(1);
    failing.OnTimer = [&](TObject*) {
        failing.SetEnabled(false);
        throw EConvertError("'abc' is not a valid integer value");
    };
    int later = 0;
    QTimer::singleShot(20, [&] { ++later; });
    QTimer::singleShot(25, [] { throw std::runtime_error("plain failure"); });
    ProcessFor(60);

    SetApplicationTitle(oldTitle);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].kind, "error");
    EXPECT_EQ(boxes.boxes[0].title, "Lumora Brightness Control");
    EXPECT_EQ(boxes.boxes[0].text, "'abc' is not a valid integer value");
    EXPECT_EQ(boxes.boxes[1].text, "plain failure");
    EXPECT_EQ(later, 1); // events after the failure were still delivered
}

TEST(FrameworkApplication, MessageBoxesUseTitleAndCaption)
{
    RecordingBoxes boxes;
    TMessageBoxesScope scope(boxes);
    ShowMessage("Settings saved.");
    boxes.answer = false;
    EXPECT_FALSE(AskYesNo("Warning", "Do you really want to quit?"));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].title, ApplicationTitle());
    EXPECT_EQ(boxes.boxes[1].kind, "yesno");
    EXPECT_EQ(boxes.boxes[1].title, "Warning");
}

TEST(FrameworkForm, ScalesDesignUnitsToTheScreen)
{
    TForm form(nullptr, 96);
    EXPECT_EQ(form.Scale(694), 555); // 555.2
    EXPECT_EQ(form.Scale(403), 322); // 322.4
    EXPECT_EQ(form.ScaleRect(24, 8, 90, 403), QRect(19, 6, 72, 322));
    TFont label(96);
    label.SetHeight(-20);
    form.ScaleFont(label);
    EXPECT_EQ(label.Height(), -16);

    TForm same(nullptr, 120);
    EXPECT_EQ(same.Scale(694), 694);
}

TEST(FrameworkForm, ControlsOnAFormLoadWithItAndCreateComesLast)
{
    std::vector<QString> log;
    TForm form(nullptr, 120);
    form.OnCreate = [&](TObject*) { log.push_back("create"); };
    form.BeginLoading();
    auto* control = new TCustomControl(&form);
    EXPECT_EQ(control->Owner(), &form);
    EXPECT_TRUE(control->IsLoading());
    TTimer timer(&form);
    timer.OnTimer = [&](TObject*) {};
    form.EndLoading();
    EXPECT_FALSE(control->IsLoading());
    EXPECT_EQ(log, std::vector<QString>{"create"});
}

TEST(FrameworkForm, CloseActionDecidesWhatClosingDoes)
{
    TForm form(nullptr, 96);
    form.OnClose = [](TObject*, TCloseAction& action) { action = caNone; };
    form.show();
    form.close();
    EXPECT_TRUE(form.isVisible());
    form.OnClose = [](TObject*, TCloseAction&) {};
    form.close();
    EXPECT_FALSE(form.isVisible());
}

namespace {

// A window that refuses to close, as the main window does to hide in the tray.
class RefusesToClose : public QWidget {
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        event->ignore();
    }
};

} // namespace

TEST(FrameworkApplication, TerminateEndsTheLoopAlthoughAShownWindowRefusesToClose)
{
    TApplication* app = Application();
    ASSERT_NE(app, nullptr);
    RefusesToClose window;
    window.show();
    bool gaveUp = false;
    // Only keeps a broken build from hanging: a dropped request never ends the loop.
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [&] {
        gaveUp = true;
        QCoreApplication::exit(1);
    });
    safety.start(5000);
    app->Terminate();
    EXPECT_EQ(app->exec(), 0);
    EXPECT_FALSE(gaveUp) << "the request to end was dropped";
    EXPECT_EQ(window.closes, 0) << "ending asks no window to close (closing saves)";
}

TEST(FrameworkApplication, ARepeatedFailureShowsOneBoxUntilTheUserActsAgain)
{
    RecordingBoxes boxes;
    TMessageBoxesScope scope(boxes);
    const auto fail = [](const char* text) { HandleException(std::make_exception_ptr(std::runtime_error(text))); };
    fail("Cannot write brightness: Is a directory");
    fail("Cannot write brightness: Is a directory"); // the next step of the same action
    ASSERT_EQ(boxes.boxes.size(), 1u);
    fail("Another failure");
    EXPECT_EQ(boxes.boxes.size(), 2u) << "a different failure is shown";

    QWidget target;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &press);
    fail("Another failure");
    EXPECT_EQ(boxes.boxes.size(), 3u) << "a new action shows it again";
}
