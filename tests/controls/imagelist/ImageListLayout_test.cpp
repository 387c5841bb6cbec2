#include "controls/imagelist/AdvSmoothImageListBoxLayout.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

TLayoutInput PickerLikeInput(int count)
{
    TLayoutInput in;
    in.width = 600;
    in.height = 450;
    in.headerHeight = 50;
    in.footerHeight = 50;
    in.rows = 3;
    in.columns = 0;
    in.items.assign(size_t(count), TLayoutEntryInput{});
    return in;
}

std::vector<TEntryState> Plain(int n)
{
    return std::vector<TEntryState>(size_t(n));
}

} // namespace

TEST(ImageListThumbnail, SizeRuleKeepsRatioAndRoundsHalfAwayFromZero)
{
    TItemPlacement placement; // default margins of 3 on every side
    const QRectF image = ImageRect(QRectF(0, 0, 70, 70), placement);
    EXPECT_EQ(image, QRectF(3, 3, 63, 63));

    // 63 * 100 / 200 = 31.5 rounds up.
    EXPECT_EQ(ThumbnailSize(200, 100, 63, 63, true, isAlways), QSize(63, 32));
    EXPECT_EQ(ThumbnailSize(40, 20, 63, 63, true, isShrinkOnly), QSize(40, 20));
    EXPECT_EQ(ThumbnailSize(40, 20, 63, 63, true, isAlways), QSize(63, 32));
    // Taller than wide: the height fills.
    EXPECT_EQ(ThumbnailSize(100, 200, 63, 63, true, isAlways), QSize(32, 63));
    // Without the ratio the target wins, rounded half to even.
    EXPECT_EQ(ThumbnailSize(200, 100, 62.5, 63.5, false, isAlways), QSize(62, 64));
}

TEST(ImageListThumbnail, DegenerateSizesGiveNoThumbnail)
{
    EXPECT_EQ(ThumbnailSize(0, 100, 63, 63, true, isAlways), QSize(0, 0));
    EXPECT_EQ(ThumbnailSize(100, 100, -1, 63, true, isAlways), QSize(0, 0));
    EXPECT_EQ(ThumbnailSize(std::nan(""), 100, 63, 63, true, isAlways), QSize(0, 0));
    // Half a pixel wide rounds to no width at all: no division by zero.
    EXPECT_EQ(ThumbnailSize(0.4, 100, 63, 63, true, isAlways), QSize(0, 0));
    // Products beyond 32 bits stay exact.
    EXPECT_EQ(MulDivRound(100000, 100000, 3), 3333333333LL);
    EXPECT_EQ(MulDivRound(-3, 1, 2), -2);
    EXPECT_EQ(MulDivRound(5, 5, 0), 0);
}

TEST(ImageListThumbnail, TextBandComesOffTheImageRect)
{
    TItemPlacement placement;
    placement.textVisible = true;
    placement.textAlign = laBottom;
    EXPECT_EQ(ImageRect(QRectF(0, 0, 70, 70), placement), QRectF(3, 3, 63, 63 - 16));
    EXPECT_EQ(FitCentred(QRectF(3, 3, 63, 63), QSize(63, 32), true, isAlways), QRectF(3, 3 + 15.5, 63, 32));
}

TEST(ImageListLayout, TenItemsInThreeRowsFlowIntoFourColumns)
{
    const TLayoutResult r = Layout(PickerLikeInput(10));
    ASSERT_EQ(r.entries.size(), 10u);
    // x = spacing - scroll, y = header + spacing; steps of item + spacing.
    EXPECT_EQ(r.entries[0].rect, QRectF(10, 60, 70, 70));
    EXPECT_EQ(r.entries[2].rect.topLeft(), QPointF(10, 220));
    EXPECT_EQ(r.entries[3].rect.topLeft(), QPointF(90, 60));
    EXPECT_EQ(r.entries[9].rect.topLeft(), QPointF(250, 60));
    // Four columns fit in 600 pixels: nothing to scroll.
    EXPECT_EQ(r.largest, 0);
    EXPECT_FALSE(r.scrollable);
}

TEST(ImageListLayout, LargestScrollAndHiddenItems)
{
    TLayoutInput in = PickerLikeInput(30); // ten columns, the last at x = 730
    TLayoutResult r = Layout(in);
    EXPECT_EQ(r.entries.back().rect.x(), 730);
    EXPECT_EQ(r.largest, 70 + 730 + 10 - 600);
    EXPECT_TRUE(r.scrollable);

    in.scrollPosition = 100;
    r = Layout(in);
    EXPECT_EQ(r.entries[0].rect.x(), -90);
    EXPECT_EQ(r.largest, 210) << "the largest position does not depend on the current one";

    in.items[1].visible = false;
    r = Layout(in);
    EXPECT_EQ(r.entries.size(), 29u);
    EXPECT_EQ(r.entries[1].item, 2);

    // A single column never scrolls.
    TLayoutInput one = PickerLikeInput(3);
    one.width = 50;
    EXPECT_EQ(Layout(one).largest, 0);
}

TEST(ImageListLayout, DownwardFlowExchangesTheAxes)
{
    TLayoutInput in = PickerLikeInput(7);
    in.rows = 0;
    in.columns = 3;
    in.height = 200;
    const TLayoutResult r = Layout(in);
    EXPECT_EQ(r.entries[1].rect.topLeft(), QPointF(90, 60));
    EXPECT_EQ(r.entries[3].rect.topLeft(), QPointF(10, 140));
    EXPECT_EQ(r.entries[6].rect.topLeft(), QPointF(10, 220));
    EXPECT_EQ(r.largest, 70 + 220 + 10 + 50 - 200);
}

TEST(ImageListLayout, FixedGridDividesTheAreaEvenly)
{
    TLayoutInput in = PickerLikeInput(5);
    in.rows = 2;
    in.columns = 2;
    const TLayoutResult r = Layout(in);
    ASSERT_EQ(r.entries.size(), 4u) << "a fixed grid holds rows x columns items";
    EXPECT_EQ(r.largest, 0);
    EXPECT_LT(r.entries[0].rect.right(), r.entries[1].rect.left());
    EXPECT_LT(r.entries[0].rect.bottom(), r.entries[2].rect.top());
}

TEST(ImageListScroll, OverscrollIsAtMostFiftyAndTheAnimationSpringsBack)
{
    const int largest = 200;
    EXPECT_EQ(ClampPosition(400, largest), 250);
    EXPECT_EQ(ClampPosition(-400, largest), -50);
    EXPECT_EQ(ClampTarget(400, largest), 200);
    EXPECT_EQ(ClampTarget(-5, largest), 0);

    int pos = ClampPosition(1000, largest);
    const int target = ClampTarget(pos, largest);
    int ticks = 0;
    for (TAnimationStep s{pos, false}; !s.stop; ++ticks) {
        s = AnimationStep(pos, target, 4, 4);
        EXPECT_LE(std::abs(s.position - target), std::abs(pos - target)) << "every step moves closer";
        pos = s.position;
        ASSERT_LT(ticks, 1000);
    }
    EXPECT_EQ(pos, largest);
}

TEST(ImageListScroll, AnimationStepSizes)
{
    EXPECT_EQ(AnimationStep(0, 160, 4, 4).position, 10);  // 160 / 16
    EXPECT_EQ(AnimationStep(0, 160, 0.5, 4).position, 80); // 160 / 2
    EXPECT_EQ(AnimationStep(0, 3, 4, 4).position, 1);     // at least one pixel
    EXPECT_TRUE(AnimationStep(7, 7, 4, 4).stop);
    EXPECT_EQ(AnimationStep(100, 0, 0, 4).position, 0); // a zero factor divides by 1
}

TEST(ImageListScroll, ScrollIntoView)
{
    // Sideways: an entry beyond the right edge brings its right edge + spacing in.
    EXPECT_EQ(ScrollIntoView(flSideways, QRectF(650, 60, 70, 70), 0, 500, 600, 450, 50, 50, 10, 10), 130);
    EXPECT_EQ(ScrollIntoView(flSideways, QRectF(-40, 60, 70, 70), 100, 500, 600, 450, 50, 50, 10, 10), 50);
    EXPECT_EQ(ScrollIntoView(flSideways, QRectF(100, 60, 70, 70), 100, 500, 600, 450, 50, 50, 10, 10), 100);
    // Clamped to the largest position.
    EXPECT_EQ(ScrollIntoView(flSideways, QRectF(650, 60, 70, 70), 0, 20, 600, 450, 50, 50, 10, 10), 20);
    // Downward: the footer counts.
    EXPECT_EQ(ScrollIntoView(flDownwards, QRectF(10, 380, 70, 70), 0, 500, 600, 450, 50, 50, 10, 10), 60);
}

TEST(ImageListKeys, RightFromEightStaysRightFromSixSelectsNine)
{
    const auto s = Plain(10);
    EXPECT_EQ(NavigateIndex(nkRight, 8, s, flSideways, 3, 0, 0, 9), 8);
    EXPECT_EQ(NavigateIndex(nkRight, 6, s, flSideways, 3, 0, 0, 9), 9);
    EXPECT_EQ(NavigateIndex(nkLeft, 2, s, flSideways, 3, 0, 0, 9), 2);
    EXPECT_EQ(NavigateIndex(nkLeft, 5, s, flSideways, 3, 0, 0, 9), 2);
    EXPECT_EQ(NavigateIndex(nkDown, 9, s, flSideways, 3, 0, 0, 9), 9);
    EXPECT_EQ(NavigateIndex(nkUp, 0, s, flSideways, 3, 0, 0, 9), 0);
    EXPECT_EQ(NavigateIndex(nkHome, 5, s, flSideways, 3, 0, 0, 9), 0);
    EXPECT_EQ(NavigateIndex(nkEnd, 5, s, flSideways, 3, 0, 0, 9), 9);
    EXPECT_EQ(NavigateIndex(nkPageDown, 0, s, flSideways, 3, 0, 0, 5), 6);
    EXPECT_EQ(NavigateIndex(nkPageUp, 7, s, flSideways, 3, 0, 3, 9), 2);
    // Downward flow: Up and Down move a row.
    EXPECT_EQ(NavigateIndex(nkDown, 1, s, flDownwards, 0, 3, 0, 9), 4);
    EXPECT_EQ(NavigateIndex(nkDown, 8, s, flDownwards, 0, 3, 0, 9), 8);
    EXPECT_EQ(NavigateIndex(nkRight, 1, s, flDownwards, 0, 3, 0, 9), 2);
}

TEST(ImageListKeys, SkipsSplittersAndDisabledItemsInTheDirectionOfTravel)
{
    auto s = Plain(6);
    s[2].splitter = true;
    s[3].enabled = false;
    EXPECT_EQ(NavigateIndex(nkDown, 1, s, flSideways, 3, 0, 0, 5), 4);
    EXPECT_EQ(NavigateIndex(nkUp, 4, s, flSideways, 3, 0, 0, 5), 1);
    s[0].splitter = true;
    EXPECT_EQ(NavigateIndex(nkHome, 4, s, flSideways, 3, 0, 0, 5), 1);
    // Nothing usable at all: the index stays.
    EXPECT_EQ(NavigateIndex(nkDown, 0, std::vector<TEntryState>(3, TEntryState{false, false}), flSideways, 3, 0, 0, 2),
              0);
}

TEST(ImageListHitTest, OnlyEnabledItemsInsideTheItemArea)
{
    const TLayoutResult r = Layout(PickerLikeInput(4));
    auto s = Plain(4);
    EXPECT_EQ(HitTest(r.entries, s, r.itemArea, QPointF(20, 70)), 0);
    EXPECT_EQ(HitTest(r.entries, s, r.itemArea, QPointF(85, 70)), -1) << "the spacing between items";
    s[0].enabled = false;
    EXPECT_EQ(HitTest(r.entries, s, r.itemArea, QPointF(20, 70)), -1);
    EXPECT_EQ(HitTest(r.entries, s, r.itemArea, QPointF(20, 30)), -1) << "over the header";
}

TEST(ImageListBands, BandsNavigatorAndCaption)
{
    const QRect c = ControlRect(600, 450, 1, true);
    EXPECT_EQ(c, QRect(QPoint(1, 1), QPoint(598, 448)));
    const QRect plain = ControlRect(600, 450, 1, false);
    const QRectF footer = FooterBand(plain, 0, 50);
    EXPECT_EQ(footer, QRectF(0, 399, 599, 50));
    EXPECT_EQ(HeaderBand(plain, 0, 50), QRectF(0, 0, 599, 50));

    // The picker's footer: the strip's right edge is the band's, its top 15 below.
    const QRectF strip = NavigatorStrip(footer, 20, cpCenterRight, 0, 0);
    EXPECT_EQ(strip.width(), 92);
    EXPECT_DOUBLE_EQ(strip.right(), footer.right());
    EXPECT_DOUBLE_EQ(strip.top(), footer.top() + 15);
    EXPECT_EQ(NavigatorButton(strip, 20, 2).x(), strip.x() + 46);
    EXPECT_EQ(NavigatorButtonAt(strip, 20, NavigatorButton(strip, 20, 3).center()), 3);
    EXPECT_EQ(NavigatorButtonAt(strip, 20, QPointF(strip.x() + 21, strip.y() + 5)), -1) << "the gap";

    // Top-left navigators move 3 inwards from both edges.
    EXPECT_EQ(NavigatorStrip(footer, 20, cpTopLeft, 0, 0).topLeft(), footer.topLeft() + QPointF(3, 3));

    // A caption sharing the navigator's place stands 5 pixels to its left.
    const QRectF cap = CaptionRect(footer, QSizeF(100, 20), cpCenterRight, 0, 0, &strip, cpCenterRight);
    EXPECT_DOUBLE_EQ(cap.right(), strip.left() - 5);
}

// A centred caption long enough to reach the navigator in its row moves
// aside instead of running into the "<<" button; a short one stays centred.
TEST(ImageListNavigator, ACentredCaptionNeverRunsIntoTheNavigator)
{
    const QRectF footer(0, 400, 750, 50);
    const QRectF right = NavigatorStrip(footer, 20, cpCenterRight, 0, 0);
    const QRectF shortCap = CaptionRect(footer, QSizeF(200, 24), cpCenterCenter, 0, 0, &right, cpCenterRight);
    EXPECT_DOUBLE_EQ(shortCap.center().x(), footer.center().x());

    const QRectF longCap = CaptionRect(footer, QSizeF(560, 24), cpCenterCenter, 0, 0, &right, cpCenterRight);
    EXPECT_LE(longCap.right(), right.left() - 5);
    EXPECT_GE(longCap.left(), footer.left());

    const QRectF left = NavigatorStrip(footer, 20, cpCenterLeft, 0, 0);
    const QRectF leftCap = CaptionRect(footer, QSizeF(560, 24), cpCenterCenter, 0, 0, &left, cpCenterLeft);
    EXPECT_GE(leftCap.left(), left.right() + 5);

    // A navigator in another row leaves the caption where it was.
    const QRectF below = NavigatorStrip(footer, 20, cpBottomRight, 0, 0);
    const QRectF top = CaptionRect(footer, QSizeF(560, 10), cpTopCenter, 0, 0, &below, cpBottomRight);
    EXPECT_DOUBLE_EQ(top.center().x(), footer.center().x());
}

TEST(ImageListNavigator, ColoursSwapPressedAndHovered)
{
    const TNavigatorColors c{1, 2, 3, 4};
    EXPECT_EQ(NavigatorButtonColor(c, 0, 10, 0, -1, -1), 4) << "previous at the first item";
    EXPECT_EQ(NavigatorButtonColor(c, 3, 10, 9, -1, -1), 4) << "next at the last item";
    EXPECT_EQ(NavigatorButtonColor(c, 2, 10, -1, -1, -1), 4) << "nothing selected";
    EXPECT_EQ(NavigatorButtonColor(c, 2, 1, 0, -1, -1), 4) << "a single item";
    EXPECT_EQ(NavigatorButtonColor(c, 2, 10, 4, 2, 2), 2) << "pressed shows HoverColor";
    EXPECT_EQ(NavigatorButtonColor(c, 2, 10, 4, -1, 2), 3) << "hovered shows DownColor";
    EXPECT_EQ(NavigatorButtonColor(c, 1, 10, 4, -1, 2), 1);
    EXPECT_EQ(LightenByPercent(RGB(0, 100, 255), 60), RGB(153, 193, 255));
    EXPECT_EQ(NavigatorGlyph(0, QRectF(0, 0, 20, 20)).size(), 4u);
    EXPECT_EQ(NavigatorGlyph(1, QRectF(0, 0, 30, 30))[0], QLineF(20, 10, 10, 15));
}
