// The painted controls as assistive technology sees them: role, name,
// value, actions and the events each change raises, all through Qt's
// accessibility interfaces as a screen reader's bridge reads them.

#include "controls/access/AccessibleControls.h"
#include "controls/buttons/AdvSmoothButton.h"
#include "controls/chart/SPBEPC.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/label/AdvSmoothLabel.h"
#include "controls/picture/AdvGDIPicture.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"

#include "support/ActiveWindow.h"
#include "support/EventLoop.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcutEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using namespace lumora;

namespace {

struct Recorded {
    QAccessible::Event type;
    QObject* object;
    QVariant value;              // ValueChanged
    QAccessible::State changed;  // StateChanged
    int child = -1;
};

std::vector<Recorded>& Events()
{
    static std::vector<Recorded> events;
    return events;
}

void Record(QAccessibleEvent* event)
{
    Recorded r{event->type(), event->object(), {}, {}, event->child()};
    if (event->type() == QAccessible::ValueChanged)
        r.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
    if (event->type() == QAccessible::StateChanged)
        r.changed = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
    Events().push_back(r);
}

std::vector<Recorded> EventsOf(QObject* object, QAccessible::Event type)
{
    std::vector<Recorded> found;
    for (const Recorded& r : Events())
        if (r.object == object && r.type == type)
            found.push_back(r);
    return found;
}

void Press(QWidget* w, int key, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QKeyEvent down(QEvent::KeyPress, key, m, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, m);
    QApplication::sendEvent(w, &up);
}

// Every test sees the events its own controls raise (the offscreen display
// has no accessibility bridge to hand them to), and starts with the
// controls' interfaces installed as the program installs them.
struct Accessible : ::testing::Test {
    QWidget window;

    void SetUp() override
    {
        InstallControlAccessibility();
        Events().clear();
        ObserveControlAnnouncements(Record);
        window.resize(700, 450);
    }
    void TearDown() override
    {
        ObserveControlAnnouncements(nullptr);
    }

    static QAccessibleInterface* Of(QObject* o)
    {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
        EXPECT_NE(iface, nullptr);
        return iface;
    }
};

} // namespace

// ---------------------------------------------------------------- track bar

TEST_F(Accessible, TrackBarIsASliderWithItsValue)
{
    auto* bar = new TAdvSmoothTrackBar(&window);
    bar->SetMaximum(100);
    bar->SetStep(1);
    bar->SetPosition(40);
    bar->setAccessibleName("Brightness");
    QAccessibleInterface* a = Of(bar);
    EXPECT_EQ(a->role(), QAccessible::Slider);
    EXPECT_EQ(a->text(QAccessible::Name), "Brightness");
    EXPECT_EQ(a->text(QAccessible::Value), "40");
    QAccessibleValueInterface* value = a->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toDouble(), 40);
    EXPECT_EQ(value->minimumValue().toDouble(), 0);
    EXPECT_EQ(value->maximumValue().toDouble(), 100);
    EXPECT_EQ(value->minimumStepSize().toDouble(), 1);
    EXPECT_TRUE(a->state().focusable);
}

TEST_F(Accessible, SettingTheTrackBarsValueIsADropOfItsThumb)
{
    auto* bar = new TAdvSmoothTrackBar(&window);
    bar->SetMaximum(100);
    bar->SetStep(1);
    std::vector<double> dropped;
    bar->OnPositionChanged = [&](TObject*, double p) { dropped.push_back(p); };
    QAccessibleValueInterface* value = Of(bar)->valueInterface();
    value->setCurrentValue(70);
    EXPECT_EQ(bar->Position(), 70);
    EXPECT_EQ(dropped, (std::vector<double>{70})) << "the window hears it as the user's change";
    value->setCurrentValue(250);
    EXPECT_EQ(bar->Position(), 100) << "a value past the end goes to the end";
    value->setCurrentValue(-5);
    EXPECT_EQ(bar->Position(), 0);
    Of(bar)->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(bar->Position(), 1);
}

TEST_F(Accessible, TrackBarRaisesAValueEventForEveryMove)
{
    auto* bar = new TAdvSmoothTrackBar(&window);
    bar->SetMaximum(100);
    bar->SetStep(1);
    bar->SetPosition(10);
    Press(bar, Qt::Key_Up);
    Press(bar, Qt::Key_PageUp);
    bar->SetPosition(bar->Position()); // unchanged: no event
    const auto events = EventsOf(bar, QAccessible::ValueChanged);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].value.toDouble(), 10);
    EXPECT_EQ(events[1].value.toDouble(), 11);
    EXPECT_EQ(events[2].value.toDouble(), 21);
}

TEST_F(Accessible, PageKeysStepTheTrackBarByATenthAndStopAtTheEnds)
{
    auto* bar = new TAdvSmoothTrackBar(&window);
    bar->SetMaximum(100);
    bar->SetStep(1);
    std::vector<double> changed;
    bar->OnPositionChanged = [&](TObject*, double p) { changed.push_back(p); };
    bar->SetPosition(50);
    changed.clear();
    Press(bar, Qt::Key_PageUp);
    EXPECT_EQ(bar->Position(), 60);
    Press(bar, Qt::Key_PageDown);
    Press(bar, Qt::Key_PageDown);
    EXPECT_EQ(bar->Position(), 40);
    EXPECT_EQ(changed.back(), 40) << "the key's release reports the drop";
    bar->SetPosition(95);
    Press(bar, Qt::Key_PageUp);
    EXPECT_EQ(bar->Position(), 100) << "a page near the top lands on the top";
    bar->SetPosition(3);
    Press(bar, Qt::Key_PageDown);
    EXPECT_EQ(bar->Position(), 0);
}

// ---------------------------------------------------------------- gauge

TEST_F(Accessible, GaugeIsADialWhoseValueIsTheLevelItHeadsFor)
{
    auto* gauge = new TAdvSmoothGauge(&window);
    gauge->SetMinimumValue(0);
    gauge->SetMaximumValue(10);
    gauge->setAccessibleName("Brightness Level");
    QAccessibleInterface* a = Of(gauge);
    EXPECT_EQ(a->role(), QAccessible::Dial);
    EXPECT_EQ(a->text(QAccessible::Name), "Brightness Level");
    QAccessibleValueInterface* value = a->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(value->maximumValue().toInt(), 10);
    EXPECT_EQ(value->minimumStepSize().toInt(), 1);

    int changes = 0;
    gauge->OnChange = [&](TObject*) { ++changes; };
    value->setCurrentValue(7);
    EXPECT_EQ(gauge->DestinationValue(), 7);
    EXPECT_GT(changes, 0) << "set as a click on the dial sets it";
    EXPECT_EQ(value->currentValue().toInt(), 7) << "the level, while the needle still walks";
    EXPECT_EQ(a->text(QAccessible::Value), "7");
}

TEST_F(Accessible, GaugeAnnouncesEachNewLevelOnceNotEachNeedleStep)
{
    auto* gauge = new TAdvSmoothGauge(&window);
    gauge->SetMinimumValue(0);
    gauge->SetMaximumValue(10);
    Events().clear();
    gauge->SetValue(8);
    lumora::testing::PumpUntil([&] { return !gauge->Animating(); }, 3000);
    gauge->SetValue(8);
    gauge->SetValue(3);
    const auto events = EventsOf(gauge, QAccessible::ValueChanged);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].value.toInt(), 8);
    EXPECT_EQ(events[1].value.toInt(), 3);
}

// ---------------------------------------------------------------- buttons

TEST_F(Accessible, ButtonIsAPushButtonThatPresses)
{
    auto* button = new TAdvSmoothButton(&window);
    button->SetCaption("Apply Settings");
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    QAccessibleInterface* a = Of(button);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), "Apply Settings");
    QAccessibleActionInterface* actions = a->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 0) << "the click comes after the call has returned";
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
    button->setEnabled(false);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1) << "a disabled button does not press";
}

TEST_F(Accessible, ButtonAccessKeyPressesItAndIsReadAsItsShortcut)
{
    auto* button = new TAdvSmoothButton(&window);
    button->SetCaption("Save Profile");
    button->SetAccessKey(QKeySequence("Alt+S"));
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    window.show();
    lumora::testing::MakeActive(window);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_S, Qt::AltModifier, "s");
    QApplication::sendEvent(&window, &key);
    EXPECT_EQ(clicks, 1);
    QAccessibleInterface* a = Of(button);
    EXPECT_EQ(a->text(QAccessible::Name), "Save Profile") << "the caption is read without a mark";
    EXPECT_EQ(a->text(QAccessible::Accelerator), QKeySequence("Alt+S").toString(QKeySequence::NativeText));
    EXPECT_EQ(a->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
              QStringList{QKeySequence("Alt+S").toString(QKeySequence::NativeText)});
}

TEST_F(Accessible, ButtonWithAMarkedCaptionIsReadWithoutTheMark)
{
    auto* button = new TAdvSmoothButton(&window);
    button->SetCaption("&Open && Save");
    EXPECT_EQ(Of(button)->text(QAccessible::Name), "Open & Save");
}

// ---------------------------------------------------------------- switch

TEST_F(Accessible, SwitchIsACheckBoxWithItsStateAndToggle)
{
    auto* caption = new TAdvSmoothLabel(&window);
    caption->Caption().SetText("Set brightness settings on system startup");
    auto* sw = new TAdvSmoothSlider(&window);
    sw->AppearanceOn().SetCaption("On");
    sw->AppearanceOff().SetCaption("Off");
    sw->SetState(ssOff);
    SetAccessibleLabelFor(caption, sw);
    std::vector<TAdvSmoothSliderState> changes;
    sw->OnStateChanged = [&](TObject*, TAdvSmoothSliderState s, double) { changes.push_back(s); };

    QAccessibleInterface* a = Of(sw);
    EXPECT_EQ(a->role(), QAccessible::CheckBox);
    EXPECT_TRUE(a->state().checkable);
    EXPECT_FALSE(a->state().checked);
    EXPECT_EQ(a->text(QAccessible::Value), "Off");
    const auto labels = a->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->object(), caption);

    Events().clear();
    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(sw->State(), ssOn);
    EXPECT_TRUE(a->state().checked);
    EXPECT_EQ(changes, (std::vector<TAdvSmoothSliderState>{ssOn})) << "toggled as the user would";
    const auto events = EventsOf(sw, QAccessible::StateChanged);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].changed.checked);

    sw->SetState(ssOff); // set by the program: still heard
    EXPECT_EQ(EventsOf(sw, QAccessible::StateChanged).size(), 2u);
    sw->SetState(ssOff);
    EXPECT_EQ(EventsOf(sw, QAccessible::StateChanged).size(), 2u) << "no change, no event";
}

TEST_F(Accessible, SpaceAndEnterToggleTheSwitch)
{
    auto* sw = new TAdvSmoothSlider(&window);
    sw->SetState(ssOff);
    int changes = 0;
    sw->OnStateChanged = [&](TObject*, TAdvSmoothSliderState, double) { ++changes; };
    Press(sw, Qt::Key_Space);
    EXPECT_EQ(sw->State(), ssOn);
    Press(sw, Qt::Key_Return);
    EXPECT_EQ(sw->State(), ssOff);
    Press(sw, Qt::Key_Enter);
    EXPECT_EQ(sw->State(), ssOn);
    EXPECT_EQ(changes, 3);
}

// ---------------------------------------------------------------- captions

TEST_F(Accessible, CaptionIsStaticTextThatLabelsItsControl)
{
    auto* caption = new TAdvSmoothLabel(&window);
    caption->Caption().SetText("Reduce brightness when idle is over           minutes");
    auto* box = new QLineEdit(&window);
    SetAccessibleLabelFor(caption, box);
    QAccessibleInterface* a = Of(caption);
    EXPECT_EQ(a->role(), QAccessible::StaticText);
    EXPECT_EQ(a->text(QAccessible::Name), "Reduce brightness when idle is over minutes")
        << "the blanks left for the box read as one space";
    const auto labelled = a->relations(QAccessible::Labelled);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled[0].first->object(), box);
    EXPECT_EQ(AccessibleLabelOf(box), caption);

    delete box;
    EXPECT_EQ(AccessibleLabelledControl(caption), nullptr) << "forgotten with the control";
    EXPECT_TRUE(Of(caption)->relations(QAccessible::Labelled).isEmpty());
}

// ---------------------------------------------------------------- rating chart

TEST_F(Accessible, ChartIsAGraphicNamedByItsRating)
{
    auto* chart = new TSPBEPC(&window);
    chart->SetTitle("Energy Efficiency Rating");
    chart->SetCurrentTitle("Current");
    chart->SetCurrent(100);
    QAccessibleInterface* a = Of(chart);
    EXPECT_EQ(a->role(), QAccessible::Graphic);
    EXPECT_EQ(a->text(QAccessible::Name), "Rating A, 100");
    EXPECT_EQ(a->text(QAccessible::Description), "Energy Efficiency Rating: Current Rating A, 100");
    Events().clear();
    chart->SetCurrent(30);
    EXPECT_EQ(a->text(QAccessible::Name), "Rating F, 30");
    EXPECT_EQ(EventsOf(chart, QAccessible::NameChanged).size(), 1u);
    chart->SetCurrent(30);
    EXPECT_EQ(EventsOf(chart, QAccessible::NameChanged).size(), 1u);
}

// ---------------------------------------------------------------- picture

TEST_F(Accessible, PictureIsAGraphicNamedByThePictureItShows)
{
    QTemporaryDir dir;
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    const QString night = dir.filePath("Night.png");
    const QString day = dir.filePath("Day.png");
    ASSERT_TRUE(image.save(night));
    ASSERT_TRUE(image.save(day));

    auto* picture = new AdvGDIPicture::TAdvGDIPPicture(&window);
    picture->setAccessibleName("Profile picture");
    QAccessibleInterface* a = Of(picture);
    EXPECT_EQ(a->role(), QAccessible::Graphic);
    EXPECT_EQ(a->text(QAccessible::Name), "Profile picture") << "nothing shown yet";

    Events().clear();
    picture->Picture()->LoadFromFile(night);
    EXPECT_EQ(a->text(QAccessible::Name), "Profile picture: Night");
    EXPECT_EQ(a->text(QAccessible::Description), "Night.png");
    EXPECT_EQ(EventsOf(picture, QAccessible::NameChanged).size(), 1u) << "a screen reader hears the new picture";

    picture->Picture()->LoadFromFile(day);
    EXPECT_EQ(a->text(QAccessible::Name), "Profile picture: Day");
    EXPECT_EQ(EventsOf(picture, QAccessible::NameChanged).size(), 2u);

    // A file that cannot be read leaves nothing shown, and no stale name.
    picture->Picture()->LoadFromFile(dir.filePath("Gone.png"));
    EXPECT_EQ(a->text(QAccessible::Name), "Profile picture");

    // A copy of another picture is named by that picture's file.
    TGDIPPicture other;
    other.LoadFromFile(night);
    picture->SetPicture(&other);
    EXPECT_EQ(a->text(QAccessible::Name), "Profile picture: Night");
    picture->Picture()->Assign(image);
    EXPECT_EQ(a->text(QAccessible::Name), "Profile picture") << "a bitmap has no file to name it by";
}

TEST(PictureAccessibleName, JoinsTheControlsNameAndThePicturesName)
{
    EXPECT_EQ(PictureAccessibleName("Profile picture", "/p/Movie night.jpeg"), "Profile picture: Movie night");
    EXPECT_EQ(PictureAccessibleName("Profile picture", "/p/Night.png"), "Profile picture: Night");
    EXPECT_EQ(PictureAccessibleName("", "/p/Night.png"), "Night");
    EXPECT_EQ(PictureAccessibleName("Profile picture", ""), "Profile picture");
    EXPECT_EQ(PictureAccessibleName("", ""), "Picture");
}

TEST(RatingText, NamesTheBandOfEachRating)
{
    // The bands' edges: A from 92, G up to 20.
    EXPECT_EQ(RatingText(100), "Rating A, 100");
    EXPECT_EQ(RatingText(92), "Rating A, 92");
    EXPECT_EQ(RatingText(91), "Rating B, 91");
    EXPECT_EQ(RatingText(20), "Rating G, 20");
    EXPECT_EQ(RatingText(0), "Rating G, 0");
}

// ---------------------------------------------------------------- picker

namespace {
struct AccessiblePicker : Accessible {
    QTemporaryDir dir;
    TAdvSmoothImageListBoxPicker* picker = nullptr;
    std::vector<int> picked;

    void SetUp() override
    {
        Accessible::SetUp();
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::cyan);
        for (const char* name : {"Day", "Movie", "Night"})
            ASSERT_TRUE(picture.save(dir.filePath(QString(name) + ".png")));
        picker = new TAdvSmoothImageListBoxPicker(&window);
        picker->setGeometry(10, 10, 200, 30);
        picker->ListBox().resize(600, 450);
        picker->ListBox().Header().SetCaption("Choose a profile icon");
        picker->WorkArea = [] { return QRect(0, 0, 1600, 1200); };
        picker->OnSelectImage = [this](TObject*, int i) { picked.push_back(i); };
        picker->SetImagesLocation(dir.filePath("*.png"));
        window.show();
    }
};
} // namespace

TEST_F(AccessiblePicker, PickerIsAComboBoxWithAListOfPictures)
{
    QAccessibleInterface* a = Of(picker);
    EXPECT_EQ(a->role(), QAccessible::ComboBox);
    EXPECT_EQ(a->text(QAccessible::Name), "Choose a profile icon");
    EXPECT_TRUE(a->state().collapsed);
    ASSERT_EQ(a->childCount(), 1);
    QAccessibleInterface* list = a->child(0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->parent(), a);
    ASSERT_EQ(list->childCount(), 3);
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* item = list->child(i);
        EXPECT_EQ(item->role(), QAccessible::ListItem);
        EXPECT_EQ(item->parent(), list);
        EXPECT_EQ(list->indexOfChild(item), i);
        EXPECT_EQ(list->child(i), item) << "one interface per item";
        names << item->text(QAccessible::Name);
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"Day", "Movie", "Night"}));
}

TEST_F(AccessiblePicker, ShowMenuOpensTheListAndItsSelectionIsRead)
{
    QAccessibleInterface* a = Of(picker);
    a->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    ASSERT_TRUE(picker->DroppedDown());
    EXPECT_TRUE(a->state().expanded);
    QAccessibleInterface* list = a->child(0);
    EXPECT_TRUE(list->child(0)->state().selected);

    Events().clear();
    Press(&picker->ListBox(), Qt::Key_Down);
    const int browsed = picker->ListBox().SelectedItemIndex();
    ASSERT_NE(browsed, 0);
    const auto focus = EventsOf(&picker->ListBox(), QAccessible::Focus);
    ASSERT_EQ(focus.size(), 1u) << "the item moved to is announced";
    EXPECT_EQ(focus[0].child, browsed);
    EXPECT_TRUE(list->child(browsed)->state().selected);
    EXPECT_TRUE(picked.empty());

    Press(&picker->ListBox(), Qt::Key_Return);
    EXPECT_EQ(picked, (std::vector<int>{browsed}));
    EXPECT_EQ(a->text(QAccessible::Value), picker->Text());
    const auto value = EventsOf(picker, QAccessible::ValueChanged);
    ASSERT_EQ(value.size(), 1u);
    EXPECT_EQ(value[0].value.toString(), picker->Text());
}

TEST_F(AccessiblePicker, AnItemsSetFocusShowsItAndItsPressPicksIt)
{
    QAccessibleInterface* a = Of(picker);
    a->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    ASSERT_TRUE(picker->DroppedDown());
    const QString before = picker->Text();
    QAccessibleInterface* list = a->child(0);
    QAccessibleInterface* item = list->child(2);
    ASSERT_NE(item->actionInterface(), nullptr);
    EXPECT_EQ(item->actionInterface()->actionNames(),
              (QStringList{QAccessibleActionInterface::pressAction(), QAccessibleActionInterface::setFocusAction()}));

    // Moving to an item, as the arrow keys do, picks nothing.
    Events().clear();
    item->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_EQ(picker->ListBox().SelectedItemIndex(), 2);
    EXPECT_TRUE(item->state().selected);
    ASSERT_EQ(EventsOf(&picker->ListBox(), QAccessible::Focus).size(), 1u);
    QApplication::processEvents();
    EXPECT_TRUE(picked.empty());
    EXPECT_EQ(picker->Text(), before);
    EXPECT_TRUE(picker->DroppedDown());

    // Pressing one picks it, as a click does: once, after the call returns.
    QAccessibleInterface* other = list->child(1);
    other->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(picked.empty()) << "the assistive technology gets its reply first";
    ASSERT_TRUE(lumora::testing::PumpUntil([&] { return !picked.empty(); }, 2000));
    QApplication::processEvents();
    EXPECT_EQ(picked, (std::vector<int>{1}));
    EXPECT_EQ(picker->Text(), picker->ListBox().Items()[1]->Caption().Text());
    EXPECT_FALSE(picker->DroppedDown()) << "the list closes on a pick";
}

TEST_F(AccessiblePicker, PressingAnItemOfTheClosedListPicksItToo)
{
    QAccessibleInterface* item = Of(picker)->child(0)->child(2);
    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(lumora::testing::PumpUntil([&] { return !picked.empty(); }, 2000));
    EXPECT_EQ(picked, (std::vector<int>{2}));
    EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(AccessiblePicker, ItemsOfAShrunkListAreNoLongerValid)
{
    QAccessibleInterface* list = Of(picker)->child(0);
    QAccessibleInterface* last = list->child(2);
    ASSERT_TRUE(last->isValid());
    picker->SetImageFiles({});
    EXPECT_EQ(list->childCount(), 0);
    EXPECT_FALSE(last->isValid());
    EXPECT_EQ(last->text(QAccessible::Name), "");
    EXPECT_TRUE(last->actionInterface()->actionNames().isEmpty());
    last->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QApplication::processEvents();
    EXPECT_TRUE(picked.empty());
}
