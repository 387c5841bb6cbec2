#include "platform/gdiplus/GraphicsPath.h"

#include <gtest/gtest.h>

using namespace lumora::gdiplus;

TEST(GdiplusPath, LinesInOneFigureAreJoinedAndClosed)
{
    GraphicsPath p;
    p.AddLine(1, 1, 1, 2);
    p.AddLine(3, 2, 3, 5);  // starts elsewhere: GDI+ joins it with a line
    p.CloseFigure();
    EXPECT_EQ(p.ToString().toStdString(), "M 1,1 L 1,2 L 3,2 L 3,5 Z");
}

TEST(GdiplusPath, ArcsUseClockwiseDegreesAndJoinTheFigure)
{
    GraphicsPath p;
    // A rounded top-left corner then the top edge, as a rounded rect starts.
    p.AddArc(0, 0, 10, 10, 180, 90);
    p.AddLine(5, 0, 20, 0);
    p.AddArc(15, 0, 10, 10, 270, 90);
    p.CloseFigure();
    EXPECT_EQ(p.ToString().toStdString(), "M 0,5 A 0,0,10,10,180,90 L 20,0 A 15,0,10,10,270,90 Z");
    PointF last;
    ASSERT_EQ(p.GetLastPoint(&last), Ok);
    EXPECT_NEAR(last.X, 0, 1e-4);  // closing returns to the figure start
    RectF b = p.GetBounds();
    EXPECT_NEAR(b.X, 0, 1e-3);
    EXPECT_NEAR(b.Width, 25, 1e-3);
    EXPECT_NEAR(b.Height, 5, 1e-3);
}

TEST(GdiplusPath, ArcEndsFollowGeometricAngles)
{
    // On a flat ellipse the ray at 45 degrees meets the outline where
    // |x| == |y| relative to the centre; a parametric angle would not.
    GraphicsPath p;
    p.AddArc(0, 0, 40, 10, 0, 45);
    PointF end;
    ASSERT_EQ(p.GetLastPoint(&end), Ok);
    EXPECT_NEAR(end.X - 20, end.Y - 5, 1e-3);
    EXPECT_GT(end.Y, 5);  // clockwise: downwards on screen
}

TEST(GdiplusPath, ClosedShapesAreFiguresOfTheirOwn)
{
    GraphicsPath p;
    p.AddLine(0, 0, 5, 0);
    p.AddRectangle(RectF(1, 1, 2, 3));
    p.AddLine(7, 7, 8, 8);
    EXPECT_EQ(p.ToString().toStdString(), "M 0,0 L 5,0 M 1,1 L 3,1 L 3,4 L 1,4 Z M 7,7 L 8,8");
    ASSERT_EQ(p.Commands().size(), 3u);
    EXPECT_EQ(p.Commands()[1].kind, PathCommand::Rectangle);
}

TEST(GdiplusPath, PieAndEllipseSerialise)
{
    GraphicsPath pie;
    pie.AddPie(0, 0, 20, 20, 90, 90);
    EXPECT_EQ(pie.ToString().toStdString(), "M 10,10 L 10,20 A 0,0,20,20,90,90 Z");
    GraphicsPath e;
    e.AddEllipse(0, 0, 20, 10);
    EXPECT_EQ(e.ToString().toStdString(), "M 20,5 A 0,0,20,10,0,360 Z");
    EXPECT_TRUE(e.IsSingleEllipse());
    EXPECT_FALSE(pie.IsSingleEllipse());
}

TEST(GdiplusPath, RingSectorFromTwoArcs)
{
    // Outer arc drawn backwards, then the inner arc forwards: one figure.
    GraphicsPath p;
    p.AddArc(0, 0, 100, 100, 180, -90);
    p.AddArc(40, 40, 20, 20, 90, 90);
    p.CloseFigure();
    EXPECT_EQ(p.ToString().toStdString(), "M 0,50 A 0,0,100,100,180,-90 L 50,60 A 40,40,20,20,90,90 Z");
}

TEST(GdiplusPath, StartFigureLeavesTheLastFigureOpen)
{
    GraphicsPath p;
    p.AddLine(0, 0, 1, 0);
    p.StartFigure();
    p.AddLine(5, 5, 6, 5);
    EXPECT_EQ(p.ToString().toStdString(), "M 0,0 L 1,0 M 5,5 L 6,5");
}

TEST(GdiplusPath, EmptyArcIsRefusedAndAddsNothing)
{
    GraphicsPath p;
    EXPECT_EQ(p.AddArc(0, 0, 0, 10, 0, 90), InvalidParameter);
    EXPECT_TRUE(p.IsEmpty());
    EXPECT_EQ(p.ToString().toStdString(), "");
}

TEST(GdiplusPath, AlternateFillLeavesTheOverlapEmpty)
{
    GraphicsPath p;
    p.AddRectangle(RectF(0, 0, 10, 10));
    p.AddRectangle(RectF(2, 2, 6, 6));
    EXPECT_FALSE(p.IsVisible(5, 5));
    EXPECT_TRUE(p.IsVisible(1, 1));
    p.SetFillMode(FillModeWinding);
    EXPECT_TRUE(p.IsVisible(5, 5));
}

TEST(GdiplusPath, ParameterAngleKeepsQuadrantAndTurn)
{
    EXPECT_NEAR(EllipseParameterAngle(90, 20, 5), 90, 1e-9);
    EXPECT_NEAR(EllipseParameterAngle(360, 20, 5), 360, 1e-9);
    EXPECT_NEAR(EllipseParameterAngle(-90, 20, 5), -90, 1e-9);
    double t = EllipseParameterAngle(45, 20, 5);
    EXPECT_GT(t, 45);  // a flat ellipse needs more parameter to reach the ray
    EXPECT_LT(t, 90);
}
