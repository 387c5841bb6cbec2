#include "controls/gauge/AdvSmoothGauge.h"
#include "platform/framework/Exception.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

// Every part of the gauge moved away from its defaults, the owned gloss,
// threshold and section included.
void MoveEveryPart(TAdvSmoothGauge& g)
{
    g.Digit().SetColor(clRed);
    g.Digit().SetBackGroundColor(clBlue);
    g.Digit().SetBackGroundOpacity(90);
    g.Digit().SetVisible(false);
    g.Digit().SetAlignment(taRightJustify);

    g.OuterCircle().SetColor(clGreen);
    g.OuterCircle().SetWidth(0.07);
    g.OuterCircle().SetOpacity(33);

    g.InnerCircle().SetColor(clYellow);
    g.InnerCircle().SetOpacity(44);
    g.InnerCircle().Gloss().SetColor(clFuchsia);
    g.InnerCircle().Gloss().SetOpacity(11);

    g.OuterRim().SetColor(clMaroon);
    g.OuterRim().SetOpacity(55);
    g.OuterRim().SetWidth(6);

    g.Needle().SetColor(clNavy);
    g.Needle().SetShineColor(clOlive);
    g.Needle().SetShineColorTo(clTeal);
    g.Needle().SetOuterCenterColor(clPurple);
    g.Needle().SetOuterCenterColorTo(clGray);
    g.Needle().SetOuterCenterOpacity(66);
    g.Needle().SetInnerCenterColor(clSilver);
    g.Needle().SetInnerCenterColorTo(clLime);
    g.Needle().SetInnerCenterOpacity(77);

    g.Arc().SetColor(clAqua);
    g.Arc().SetWidth(0.05);
    g.Arc().SetOpacity(88);
    g.Arc().SetStartAngle(150);
    g.Arc().SetStopAngle(390);
    TAdvSmoothGaugeThreshold& t = g.Arc().Threshold();
    t.SetColor(clWhite);
    t.SetOpacity(99);
    t.SetCenter(60);
    t.SetSpan(40);
    t.SetStartAngle(170);
    t.SetSweepAngle(200);
    t.SetStartValue(5);
    t.SetEndValue(95);
    t.SetThresholdKind(tkValue);

    TAdvSmoothGaugeSection& s = g.Sections().Add();
    s.SetColor(clRed);
    s.SetOpacity(12);
    s.SetStartValue(20);
    s.SetEndValue(70);
    s.SetOuterMargin(8);
    s.SetInnerMargin(30);
    s.Gloss().SetColor(clBlue);
    s.Gloss().SetOpacity(13);
}

// Counts a part's notifications.
struct Notifications {
    int count = 0;
    explicit Notifications(TPersistent& part) { part.OnChange = [this](TObject*) { ++count; }; }
};

} // namespace

TEST(GaugePartsAssign, GaugeAssignCopiesEveryValueOfEveryPart)
{
    const TAdvSmoothGauge fresh;
    TAdvSmoothGauge source;
    MoveEveryPart(source);
    // Each part really differs from a new gauge's, so equality below means
    // that Assign carried it over.
    ASSERT_NE(source.Digit().Values(), fresh.Digit().Values());
    ASSERT_NE(source.OuterCircle().Values(), fresh.OuterCircle().Values());
    ASSERT_NE(source.InnerCircle().Values(), fresh.InnerCircle().Values());
    ASSERT_NE(source.InnerCircle().Gloss().Values(), fresh.InnerCircle().Gloss().Values());
    ASSERT_NE(source.OuterRim().Values(), fresh.OuterRim().Values());
    ASSERT_NE(source.Needle().Values(), fresh.Needle().Values());
    ASSERT_NE(source.Arc().Values(), fresh.Arc().Values());
    ASSERT_NE(source.Arc().Threshold().Values(), fresh.Arc().Threshold().Values());

    TAdvSmoothGauge copy;
    copy.Assign(source);

    EXPECT_EQ(copy.Digit().Values(), source.Digit().Values());
    EXPECT_EQ(copy.OuterCircle().Values(), source.OuterCircle().Values());
    EXPECT_EQ(copy.InnerCircle().Values(), source.InnerCircle().Values());
    EXPECT_EQ(copy.InnerCircle().Gloss().Values(), source.InnerCircle().Gloss().Values());
    EXPECT_EQ(copy.OuterRim().Values(), source.OuterRim().Values());
    EXPECT_EQ(copy.Needle().Values(), source.Needle().Values());
    EXPECT_EQ(copy.Arc().Values(), source.Arc().Values());
    EXPECT_EQ(copy.Arc().Threshold().Values(), source.Arc().Threshold().Values());
    ASSERT_EQ(copy.Sections().Count(), 1);
    EXPECT_EQ(copy.Sections().Items(0).Values(), source.Sections().Items(0).Values());
    EXPECT_EQ(copy.Sections().Items(0).Gloss().Values(), source.Sections().Items(0).Gloss().Values());

    // The geometry that depends on the copied angles and threshold follows.
    EXPECT_EQ(copy.ThresholdStart(), source.ThresholdStart());
    EXPECT_EQ(copy.ThresholdSweep(), source.ThresholdSweep());
    EXPECT_EQ(copy.ArcRect(), source.ArcRect());
}

TEST(GaugePartsAssign, EachPartAssignNotifiesOnceIncludingItsOwnedParts)
{
    TAdvSmoothGauge source;
    MoveEveryPart(source);
    TAdvSmoothGauge target;
    target.Sections().Add();

    Notifications digit(target.Digit()), outerCircle(target.OuterCircle()), innerCircle(target.InnerCircle()),
        outerRim(target.OuterRim()), needle(target.Needle()), arc(target.Arc()),
        section(target.Sections().Items(0));
    target.Digit().Assign(source.Digit());
    target.OuterCircle().Assign(source.OuterCircle());
    target.InnerCircle().Assign(source.InnerCircle());
    target.OuterRim().Assign(source.OuterRim());
    target.Needle().Assign(source.Needle());
    target.Arc().Assign(source.Arc());
    target.Sections().Items(0).Assign(source.Sections().Items(0));

    for (const Notifications* n : {&digit, &outerCircle, &innerCircle, &outerRim, &needle, &arc, &section})
        EXPECT_EQ(n->count, 1);
    EXPECT_EQ(target.InnerCircle().Gloss().Values(), source.InnerCircle().Gloss().Values());
    EXPECT_EQ(target.Arc().Threshold().Values(), source.Arc().Threshold().Values());
    EXPECT_EQ(target.Sections().Items(0).Gloss().Values(), source.Sections().Items(0).Gloss().Values());
}

TEST(GaugePartsAssign, ThresholdKeepsItsCentreWhenTheSourceCentreIsOutsideTheRange)
{
    TAdvSmoothGauge wide;
    wide.SetMaximumValue(500);
    wide.Arc().Threshold().SetCenter(400);
    wide.Arc().Threshold().SetSpan(60);

    TAdvSmoothGauge narrow; // 0 ... 100
    narrow.Arc().Threshold().Assign(wide.Arc().Threshold());
    EXPECT_EQ(narrow.Arc().Threshold().Center(), 25);
    EXPECT_EQ(narrow.Arc().Threshold().Span(), 60);

    // A free-standing threshold has no range to check against.
    TAdvSmoothGaugeThreshold loose;
    loose.Assign(wide.Arc().Threshold());
    EXPECT_EQ(loose.Values(), wide.Arc().Threshold().Values());
}

TEST(GaugePartsAssign, AssignFromAnotherKindOfPartRaises)
{
    TAdvSmoothGaugeNeedle needle;
    const TAdvSmoothGaugeDigit digit;
    EXPECT_THROW(needle.Assign(digit), EConvertError);
    TAdvSmoothGaugeArc arc;
    EXPECT_THROW(arc.Assign(digit), EConvertError);
}
