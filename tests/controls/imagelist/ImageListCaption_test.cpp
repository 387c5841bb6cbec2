// Captions with markup, splitter bands and top-layer items of the image list box.

#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "controls/imagelist/AdvSmoothImageListBoxHTMLRender.h"
#include "platform/gdiplus/Graphics.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;

namespace {

QString Text(const QString& markup)
{
    return TranslateMarkup(markup, hpText, clBlue, clGray);
}

QString Shadow(const QString& markup)
{
    return TranslateMarkup(markup, hpShadow, clBlue, clGray);
}

void Mouse(QWidget* w, QEvent::Type type, QPointF p, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent e(type, p, w->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Click(QWidget* w, QPointF p)
{
    Mouse(w, QEvent::MouseButtonPress, p);
    Mouse(w, QEvent::MouseButtonRelease, p, Qt::NoButton);
}

void SolidFill(TGDIPFill& f, TColor c)
{
    f.SetGradientType(gtSolid);
    f.SetColor(c);
    f.SetColorTo(c);
    f.SetBorderColor(clNone);
}

// A downward-flowing list box of large white items with captions at the top.
std::unique_ptr<TAdvSmoothImageListBox> CaptionListBox(int count)
{
    auto box = std::make_unique<TAdvSmoothImageListBox>();
    box->resize(600, 450);
    box->SetRows(0);
    box->SetColumns(3);
    SolidFill(box->Fill(), clSilver);
    TAdvSmoothImageListBoxItemAppearance& a = box->ItemAppearance();
    a.SetItemWidth(160);
    a.SetItemHeight(100);
    a.SetTextVisible(true);
    a.SetTextAlign(laTop);
    a.SetTextHeight(30);
    SolidFill(a.Fill(), clWhite);
    SolidFill(a.HoverFill(), clWhite);
    SolidFill(a.SelectedFill(), clWhite);
    box->Items().BeginUpdate();
    for (int i = 0; i < count; ++i)
        box->Items().Add();
    box->Items().EndUpdate();
    return box;
}

QRectF EntryRect(const TAdvSmoothImageListBox& box, int item)
{
    for (const TDisplayEntry& e : box.DisplayList())
        if (e.item == item)
            return e.rect;
    return {};
}

QImage Render(QWidget& w)
{
    QImage frame(w.size(), QImage::Format_ARGB32);
    frame.fill(Qt::black);
    w.render(&frame);
    return frame;
}

// Pixels darker than mid-grey inside r.
int DarkPixels(const QImage& image, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}

bool Near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

// ---------------------------------------------------------------- markup translation

TEST(ImageListCaptionMarkup, EachTagBecomesItsRichTextForm)
{
    EXPECT_EQ(Text("<b>x</b><i>y</i><u>z</u><s>w</s>"), "<b>x</b><i>y</i><u>z</u><s>w</s>");
    EXPECT_EQ(Text("<B>x</B>"), "<b>x</b>") << "tag names are case-insensitive";
    EXPECT_EQ(Text("a<br>b<BR/>c"), "a<br />b<br />c");
    EXPECT_EQ(Text("<font color=\"red\" size=\"+2\" face=\"Tahoma\">x</font>"),
              "<font color=\"#ff0000\" size=\"+2\" face=\"Tahoma\">x</font>");
    EXPECT_EQ(Text("<font color=clBlue>x</font>"), "<font color=\"#0000ff\">x</font>") << "the control's own names";
    EXPECT_EQ(Text("<font color=\"#0f0\">x</font>"), "<font color=\"#00ff00\">x</font>");
    EXPECT_EQ(Text("<a href=\"http://x/?a=1&b=2\">go</a>"),
              "<a href=\"http://x/?a=1&amp;b=2\"><span style=\"color:#0000ff; text-decoration:underline\">go</span></a>")
        << "anchors in URLColor (clBlue is #0000ff), underlined";
    EXPECT_EQ(Text("<shad>x</shad>y"), "xy") << "the text pass draws shadowed text plainly";
}

TEST(ImageListCaptionMarkup, ShadowPassShowsOnlyShadowedTextInShadowColourWithTheSameLayout)
{
    // clGray is #808080. Outside <shad> the text stays (in the palette's
    // transparent colour) so both passes lay out identically.
    EXPECT_EQ(Shadow("a<shad>b</shad>"), "a<span style=\"color:#808080\">b</span>");
    EXPECT_EQ(Shadow("<font color=red size=2><shad>b</shad></font>"),
              "<font size=\"2\"><span style=\"color:#808080\">b</span></font>")
        << "no colour but the shadow's; sizes kept";
    EXPECT_EQ(Shadow("<a href=x>b</a>"), "<span style=\"text-decoration:underline\">b</span>");
    EXPECT_TRUE(HasShadow("x<SHAD>y</SHAD>"));
    EXPECT_FALSE(HasShadow("x<b>y</b>"));
}

TEST(ImageListCaptionMarkup, EntitiesPassAndStrayCharactersAreEscaped)
{
    EXPECT_EQ(Text("&amp; &lt; &gt; &nbsp; &quot; &#65; &#x42;"), "&amp; &lt; &gt; &nbsp; &quot; &#65; &#x42;");
    EXPECT_EQ(Text("a & b"), "a &amp; b");
    EXPECT_EQ(Text("&bogus;"), "&amp;bogus;");
    EXPECT_EQ(Text("&#0;&#xD800;&#99999999;"), "&amp;#0;&amp;#xD800;&amp;#99999999;") << "no control or invalid code points";
    EXPECT_EQ(Text("1 < 2 > 0"), "1 &lt; 2 &gt; 0");
    EXPECT_EQ(Text("<"), "&lt;");
    EXPECT_EQ(Text("<b"), "&lt;b") << "a tag never closed is text";
}

TEST(ImageListCaptionMarkup, UnknownTagsAreDroppedAndUnbalancedTagsRepaired)
{
    EXPECT_EQ(Text("<blink>x</blink>"), "x");
    EXPECT_EQ(Text("<p align=center>x</p>"), "x");
    EXPECT_EQ(Text("<b>x"), "<b>x</b>") << "left open: closed at the end";
    EXPECT_EQ(Text("x</b></font>"), "x") << "closing tags without an opener are ignored";
    EXPECT_EQ(Text("<b><i>x</b>y</i>"), "<b><i>x</i></b>y") << "closing an outer tag closes the inner ones";
    EXPECT_EQ(Text("<font color=\"expression(alert(1))\" size=99 face='a\"b'>x</font>"),
              "<font face=\"a&quot;b\">x</font>")
        << "only plain colours and sizes 1..7 pass; attribute values are escaped";
}

TEST(ImageListCaptionMarkup, ScriptsImagesAndStyleSheetsNeverReachTheEngine)
{
    const QString hostile = "<script>alert(1)</script><img src=\"http://example.invalid/x.png\">"
                            "<img src='file:///etc/passwd'><link rel=stylesheet href=http://example.invalid/s.css>"
                            "<a href='\"><img src=x>'>t</a><style>b{}</style>";
    const QString out = Text(hostile);
    EXPECT_FALSE(out.contains("<img", Qt::CaseInsensitive)) << out.toStdString();
    EXPECT_FALSE(out.contains("<script", Qt::CaseInsensitive));
    EXPECT_FALSE(out.contains("<link", Qt::CaseInsensitive));
    EXPECT_FALSE(out.contains("<style", Qt::CaseInsensitive));
    EXPECT_TRUE(out.contains("alert(1)")) << "the content of unknown tags stays, as harmless text";

    // And the document asks for no resource while laying out and painting.
    const THTMLTextLayout layout(hostile, THTMLTextStyle{}, 200);
    QImage image(220, 100, QImage::Format_ARGB32);
    QPainter painter(&image);
    layout.Paint(painter, QPointF(0, 0));
    EXPECT_EQ(layout.ResourceRequests(), 0);
}

// ---------------------------------------------------------------- template

TEST(ImageListCaptionTemplate, PlaceholdersAreReplacedOnceAndFileValuesShowLiterally)
{
    TCaptionFields f;
    f.caption = "<b>Day</b>";
    f.fileName = "a&b<c>.png";
    f.fileSize = 1234;
    f.fileDate = QDateTime(QDate(2024, 3, 5), QTime(14, 30));
    f.hint = "<#FILENAME>";
    EXPECT_EQ(FillTemplate("<#CAPTION>: <#FILENAME> <#filesize> bytes", f),
              "<b>Day</b>: a&amp;b&lt;c&gt;.png 1234 bytes")
        << "the caption is markup, the file name is not; names are case-insensitive";
    EXPECT_EQ(FillTemplate("<#HINT>", f), "&lt;#FILENAME&gt;") << "a value is never expanded again";
    EXPECT_EQ(FillTemplate("<#FILEDATE>", f), QLocale().toString(f.fileDate, QLocale::ShortFormat).toHtmlEscaped());
    EXPECT_EQ(FillTemplate("<#NOSUCH> <#", f), "<#NOSUCH> <#");
    EXPECT_EQ(FillTemplate("<#FILEDATE>", TCaptionFields{}), "") << "no date: nothing";
}

TEST(ImageListCaptionTemplate, ItemShowsCaptionTemplateOrWhatTheHandlerSays)
{
    auto box = CaptionListBox(3);
    TAdvSmoothImageListBoxItem& own = *box->Items()[0];
    own.Caption().SetText("own");
    box->Items()[1]->SetFileName("Night.png");
    box->Items()[2]->Caption().SetText("");
    EXPECT_EQ(box->ItemDisplayText(0), "own");
    EXPECT_EQ(box->ItemDisplayText(1), "") << "no template, no caption: nothing";

    box->DefaultHTMLText().SetText("<i><#FILENAME></i>");
    EXPECT_EQ(box->ItemDisplayText(0), "own") << "an own caption wins over a template without <#CAPTION>";
    EXPECT_EQ(box->ItemDisplayText(1), "<i>Night.png</i>");

    box->DefaultHTMLText().SetText("[<#CAPTION>]");
    EXPECT_EQ(box->ItemDisplayText(0), "[own]") << "a template naming <#CAPTION> dresses every caption";

    int asked = -1;
    box->OnItemGetDisplayText = [&](TObject* sender, int index, QString& text) {
        EXPECT_EQ(sender, box.get());
        asked = index;
        text = "changed";
    };
    EXPECT_EQ(box->ItemDisplayText(2), "changed");
    EXPECT_EQ(asked, 2);
}

// ---------------------------------------------------------------- placement and layout of text

TEST(ImageListCaptionPlacement, NineLocationsAndCustom)
{
    const QRectF rect(10, 20, 100, 50);
    const QSizeF size(40, 10); // free space 60 x 40
    const struct {
        TAdvSmoothImageListBoxLocation location;
        QPointF at;
    } rows[] = {
        {cpTopLeft, {10, 20}},    {cpTopCenter, {40, 20}},    {cpTopRight, {70, 20}},
        {cpCenterLeft, {10, 40}}, {cpCenterCenter, {40, 40}}, {cpCenterRight, {70, 40}},
        {cpBottomLeft, {10, 60}}, {cpBottomCenter, {40, 60}}, {cpBottomRight, {70, 60}},
        {cpCustom, {13, 27}},
    };
    for (const auto& row : rows) {
        const QRectF r = PlaceCaption(rect, size, row.location, 3, 7);
        EXPECT_EQ(r.topLeft(), row.at) << "location " << int(row.location);
        EXPECT_EQ(r.size(), size);
    }
}

TEST(ImageListCaptionLayout, MeasuresBreaksAndFindsAnchors)
{
    THTMLTextStyle style;
    style.font = QFont("Arial");
    style.font.setPointSize(10);
    const THTMLTextLayout plain("Wide text", style, 400);
    const THTMLTextLayout bold("<b>Wide text</b>", style, 400);
    const THTMLTextLayout twoLines("Wide<br>text", style, 400);
    EXPECT_GT(bold.Size().width(), plain.Size().width());
    EXPECT_LT(twoLines.Size().width(), plain.Size().width());
    // Two lines of the same font: about twice the height (line spacing may add a pixel).
    EXPECT_NEAR(twoLines.Size().height(), 2 * plain.Size().height(), 2.0);

    const THTMLTextLayout linked("<a href=\"open:1\">LINKLINK</a> plain words", style, 400);
    const double h = linked.Size().height() / 2;
    EXPECT_EQ(linked.AnchorAt(QPointF(5, h)).value_or(""), "open:1");
    EXPECT_FALSE(linked.AnchorAt(QPointF(linked.Size().width() - 3, h)).has_value());
}

TEST(ImageListCaptionLayout, ShadowIsDrawnInShadowColourAtTheOffset)
{
    THTMLTextStyle style;
    style.font = QFont("Arial");
    style.font.setPixelSize(30);
    style.font.setBold(true);
    style.color = clBlack;
    style.shadowColor = clRed;
    style.shadowOffset = 5;
    QImage image(200, 60, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        THTMLTextLayout("<shad>IIII</shad>", style, 200).Paint(painter, QPointF(2, 2));
    }
    // Reddish pixels (the shadow beside the strokes) and black ones (the text).
    int red = 0;
    int black = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += (c.red() > 200 && c.green() < 80 && c.blue() < 80) ? 1 : 0;
            black += (c.red() < 60 && c.green() < 60 && c.blue() < 60) ? 1 : 0;
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(black, 20);
}

// ---------------------------------------------------------------- list box: anchors, drawing, hints

TEST(ImageListCaptionBox, AnchorClickRaisesAnchorEventInsteadOfSelecting)
{
    auto box = CaptionListBox(2);
    for (int i = 0; i < 2; ++i) {
        box->Items()[i]->Caption().SetText("<a href=\"item:" + QString::number(i) + "\">OPEN OPEN</a>");
        box->Items()[i]->Caption().SetLocation(cpTopLeft);
    }
    int selects = 0;
    std::vector<std::pair<int, QString>> anchors;
    box->OnItemSelect = [&](TObject*, int) { ++selects; };
    box->OnItemAnchorClick = [&](TObject*, int item, const QString& href) { anchors.emplace_back(item, href); };

    const QRectF text = TextRect(EntryRect(*box, 1), box->ItemAppearance().Placement());
    const QPointF onAnchor = text.topLeft() + QPointF(6, 6);
    ASSERT_TRUE(box->AnchorAt(onAnchor).has_value());

    Mouse(box.get(), QEvent::MouseMove, onAnchor, Qt::NoButton);
    EXPECT_EQ(box->cursor().shape(), Qt::PointingHandCursor);
    Click(box.get(), onAnchor);
    ASSERT_EQ(anchors.size(), 1u);
    EXPECT_EQ(anchors[0], std::make_pair(1, QString("item:1")));
    EXPECT_EQ(selects, 0);
    EXPECT_EQ(box->SelectedItemIndex(), -1);

    // Below the caption the item is selected as usual, and the cursor is plain again.
    const QPointF below = EntryRect(*box, 1).center() + QPointF(0, 30);
    Mouse(box.get(), QEvent::MouseMove, below, Qt::NoButton);
    EXPECT_NE(box->cursor().shape(), Qt::PointingHandCursor);
    Click(box.get(), below);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(box->SelectedItemIndex(), 1);
    EXPECT_EQ(anchors.size(), 1u);

    box->Items()[1]->SetEnabled(false);
    EXPECT_FALSE(box->AnchorAt(onAnchor).has_value()) << "a disabled item's anchors take no clicks";
}

TEST(ImageListCaptionBox, CaptionTextIsDrawnInsideItsTextRectangle)
{
    auto box = CaptionListBox(2);
    box->Items()[0]->Caption().SetText("<b>WWWWWW</b>");
    box->Items()[0]->Caption().Font().SetColor(clBlack);
    const QImage frame = Render(*box);
    const QRect text = TextRect(EntryRect(*box, 0), box->ItemAppearance().Placement()).toAlignedRect();
    const QRect empty = TextRect(EntryRect(*box, 1), box->ItemAppearance().Placement()).toAlignedRect();
    // Black text on a white item: many dark pixels where the caption is and
    // none in the captionless item (anti-aliasing only greys edge pixels).
    EXPECT_GT(DarkPixels(frame, text), 30);
    EXPECT_EQ(DarkPixels(frame, empty), 0);
    // Nothing leaks below the text rectangle into the picture area.
    const QRectF item = EntryRect(*box, 0);
    EXPECT_EQ(DarkPixels(frame, QRect(int(item.x()) + 4, text.bottom() + 3, int(item.width()) - 8, 20)), 0);

    // Captions are laid out once and kept: a second paint lays out nothing,
    // a changed caption is laid out again.
    const int layouts = box->CaptionLayouts();
    Render(*box);
    EXPECT_EQ(box->CaptionLayouts(), layouts);
    box->Items()[0]->Caption().SetText("<i>other</i>");
    Render(*box);
    EXPECT_EQ(box->CaptionLayouts(), layouts + 1);
}

TEST(ImageListCaptionBox, OnItemDrawCanReplaceTheDefaultDrawing)
{
    auto box = CaptionListBox(3);
    std::vector<int> drawn;
    box->OnItemDraw = [&](TObject*, int item, lumora::gdiplus::Graphics* g, const QRectF& rect, bool& defaultDraw) {
        drawn.push_back(item);
        if (item == 1) {
            g->Painter()->fillRect(rect, QColor(0, 128, 0));
            defaultDraw = false;
        }
    };
    const QImage frame = Render(*box);
    EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2}));
    // Exact: a solid fillRect and a solid item fill away from edges.
    EXPECT_EQ(frame.pixelColor(EntryRect(*box, 1).center().toPoint()), QColor(0, 128, 0));
    EXPECT_EQ(frame.pixelColor(EntryRect(*box, 0).topLeft().toPoint() + QPoint(2, 2)), QColor(Qt::white));
}

TEST(ImageListCaptionBox, ItemHintShowsThroughOnItemHint)
{
    auto box = CaptionListBox(1);
    box->Items()[0]->SetHint("the hint");
    QString seen;
    box->OnItemHint = [&](TObject*, int item, QString& hint) {
        EXPECT_EQ(item, 0);
        seen = hint;
        hint = "changed";
    };
    const QPointF p = EntryRect(*box, 0).center();
    QHelpEvent help(QEvent::ToolTip, p.toPoint(), box->mapToGlobal(p.toPoint()));
    QApplication::sendEvent(box.get(), &help);
    EXPECT_EQ(seen, "the hint");
}

// ---------------------------------------------------------------- splitters

TEST(ImageListSplitterLayout, CollapsedSplitterHidesItsGroupUpToTheNextSplitter)
{
    TLayoutInput in;
    in.width = 600;
    in.height = 450;
    in.headerHeight = 50;
    in.footerHeight = 50;
    in.rows = 3;
    // S(collapsed) a b | S c d | hidden S(collapsed) e
    in.items = {{true, true, true}, {}, {}, {true, true, false}, {}, {}, {false, true, true}, {}};
    EXPECT_EQ(ShownItems(in.items), (std::vector<bool>{true, false, false, true, true, true, false, true}))
        << "a hidden splitter folds nothing: its items belong to the group before";
    const TLayoutResult r = Layout(in);
    std::vector<int> items;
    for (const TDisplayEntry& e : r.entries)
        items.push_back(e.item);
    EXPECT_EQ(items, (std::vector<int>{0, 3, 4, 5, 7}));
    // The two bands stand next to each other: the folded group takes no place.
    EXPECT_DOUBLE_EQ(r.entries[1].rect.x(), r.entries[0].rect.right() + in.hSpacing);

    in.items[0].collapsed = false;
    EXPECT_EQ(Layout(in).entries.size(), 7u);
}

TEST(ImageListSplitterLayout, ExpanderAndTextRectangles)
{
    const QRectF upright(10, 60, 25, 300);
    const QRectF e = SplitterExpanderRect(upright, true, 15, 5);
    EXPECT_EQ(e, QRectF(15, 65, 15, 15)) << "centred across the band, Spacing below its top";
    EXPECT_EQ(SplitterTextRect(upright, true, e, 5), QRectF(10, 85, 25, 275));
    const QRectF flat(10, 60, 500, 25);
    const QRectF f = SplitterExpanderRect(flat, false, 15, 5);
    EXPECT_EQ(f, QRectF(15, 65, 15, 15));
    EXPECT_EQ(SplitterTextRect(flat, false, f, 5), QRectF(35, 60, 475, 25));
    EXPECT_EQ(SplitterExpanderRect(QRectF(0, 0, 10, 100), true, 15, 5).width(), 6.0) << "never wider than the band";
}

namespace {

std::unique_ptr<TAdvSmoothImageListBox> SplitterListBox()
{
    auto box = std::make_unique<TAdvSmoothImageListBox>();
    box->resize(600, 450);
    SolidFill(box->Fill(), clSilver);
    SolidFill(box->ItemAppearance().Splitter().Fill(), clRed);
    box->ItemAppearance().Splitter().SetExpanderColor(clWhite);
    box->ItemAppearance().Splitter().SetExpanderDownColor(clBlue);
    box->Items().BeginUpdate();
    TAdvSmoothImageListBoxItem* s = box->Items().Add();
    s->SetSplitter(true);
    s->SetSplitterText("Group");
    for (int i = 0; i < 4; ++i)
        box->Items().Add();
    box->Items().Add()->SetSplitter(true);
    box->Items().Add();
    box->Items().EndUpdate();
    return box;
}

} // namespace

TEST(ImageListSplitterBox, ExpanderClickTogglesTheGroupWithAPressedLook)
{
    auto box = SplitterListBox();
    int selects = 0;
    box->OnItemSelect = [&](TObject*, int) { ++selects; };
    ASSERT_EQ(box->DisplayList().size(), 7u);
    const TAdvSmoothImageListBoxSplitter& s = box->ItemAppearance().Splitter();
    const QRectF expander = SplitterExpanderRect(EntryRect(*box, 0), true, s.ExpanderSize(), s.Spacing());

    // Held down: the button takes ExpanderDownColor. Near its bottom the face
    // gradient is close to the face colour (within 60 per channel of blue).
    const QPoint lower = (expander.center() + QPointF(0, expander.height() / 2 - 3)).toPoint();
    const QColor up = Render(*box).pixelColor(lower);
    Mouse(box.get(), QEvent::MouseButtonPress, expander.center());
    const QColor down = Render(*box).pixelColor(lower);
    EXPECT_TRUE(Near(up, QColor(Qt::white), 60)) << up.name().toStdString();
    EXPECT_TRUE(Near(down, QColor(Qt::blue), 60)) << down.name().toStdString();

    Mouse(box.get(), QEvent::MouseButtonRelease, expander.center(), Qt::NoButton);
    EXPECT_EQ(box->Items()[0]->SplitterState(), stCollapsed);
    EXPECT_EQ(box->DisplayList().size(), 3u) << "the four items of the group take no place";
    EXPECT_EQ(selects, 0);

    Click(box.get(), expander.center());
    EXPECT_EQ(box->Items()[0]->SplitterState(), stExpanded);
    EXPECT_EQ(box->DisplayList().size(), 7u);
}

TEST(ImageListSplitterBox, BandShowsSplitterFillAndText)
{
    auto box = SplitterListBox();
    box->ItemAppearance().Splitter().TextFont().SetColor(clBlack);
    const QImage frame = Render(*box);
    const QRectF band = EntryRect(*box, 0);
    // Solid fill, exact away from the text and the edges.
    EXPECT_EQ(frame.pixelColor(int(band.center().x()), int(band.bottom()) - 4), QColor(255, 0, 0));
    // The upright text "Group" below the expander.
    const TAdvSmoothImageListBoxSplitter& s = box->ItemAppearance().Splitter();
    const QRectF expander = SplitterExpanderRect(band, true, s.ExpanderSize(), s.Spacing());
    const QRect text = SplitterTextRect(band, true, expander, s.Spacing()).toAlignedRect().adjusted(1, 0, -1, 0);
    EXPECT_GT(DarkPixels(frame, QRect(text.x(), text.y(), text.width(), 80)), 20);
}

TEST(ImageListSplitterBox, FlatBandInDownwardFlowTogglesAndShowsText)
{
    auto box = SplitterListBox();
    box->SetRows(0);
    box->SetColumns(3);
    box->ItemAppearance().Splitter().TextFont().SetColor(clBlack);
    const QRectF band = EntryRect(*box, 0);
    EXPECT_GT(band.width(), band.height()) << "the band lies flat across the list";
    const TAdvSmoothImageListBoxSplitter& s = box->ItemAppearance().Splitter();
    const QRectF expander = SplitterExpanderRect(band, false, s.ExpanderSize(), s.Spacing());
    const QRect text = SplitterTextRect(band, false, expander, s.Spacing()).toAlignedRect().adjusted(0, 1, 0, -1);
    EXPECT_GT(DarkPixels(Render(*box), QRect(text.x(), text.y(), 80, text.height())), 20);
    Click(box.get(), expander.center());
    EXPECT_EQ(box->Items()[0]->SplitterState(), stCollapsed);
    EXPECT_EQ(box->DisplayList().size(), 3u);
}

// ---------------------------------------------------------------- top layer

TEST(ImageListTopLayer, BoundsByAlignment)
{
    const QRectF area(10, 60, 500, 300);
    const QRectF custom(20, 30, 100, 40);
    EXPECT_EQ(TopLayerBounds(tlNone, custom, area), custom);
    EXPECT_EQ(TopLayerBounds(tlTop, custom, area), QRectF(10, 60, 500, 40));
    EXPECT_EQ(TopLayerBounds(tlBottom, custom, area), QRectF(10, 320, 500, 40));
    EXPECT_EQ(TopLayerBounds(tlLeft, custom, area), QRectF(10, 60, 100, 300));
    EXPECT_EQ(TopLayerBounds(tlRight, custom, area), QRectF(410, 60, 100, 300));
    EXPECT_EQ(TopLayerBounds(tlClient, custom, area), area);
    EXPECT_EQ(TopLayerBounds(tlCenter, custom, area), QRectF(210, 190, 100, 40));
}

TEST(ImageListTopLayer, DrawnOverItemsInOrderWithOpacity)
{
    auto box = CaptionListBox(6);
    int repaints = 0;
    TAdvSmoothImageListBoxTopLayerItem* panel = box->TopLayerItems().Add();
    box->TopLayerItems().OnChange = [&](TObject*) { ++repaints; };
    panel->SetAlign(tlCenter);
    panel->SetWidth(200);
    panel->SetHeight(80);
    EXPECT_EQ(repaints, 3);
    panel->SetHeight(80);
    EXPECT_EQ(repaints, 3) << "same value twice notifies nothing";
    SolidFill(panel->Fill(), clLime);
    panel->HTMLText().SetText("<b>Top</b>");
    const QPointF centre = box->ItemAreaRect().center();
    const QPoint probe = (centre + QPointF(-90, -30)).toPoint(); // inside the panel, away from its text

    EXPECT_EQ(Render(*box).pixelColor(probe), QColor(0, 255, 0)) << "solid fill, exact";

    panel->SetOpacity(128);
    // Half of lime over the white item or the silver background: green stays
    // high, red and blue lie between the two (rounding of the blend: +-2).
    const QColor half = Render(*box).pixelColor(probe);
    EXPECT_GE(half.green(), 250);
    EXPECT_GT(half.red(), 60);
    EXPECT_LT(half.red(), 130);

    TAdvSmoothImageListBoxTopLayerItem* second = box->TopLayerItems().Add();
    second->SetAlign(tlClient);
    SolidFill(second->Fill(), clBlue);
    EXPECT_EQ(Render(*box).pixelColor(probe), QColor(0, 0, 255)) << "a later item covers an earlier one";
    second->SetVisible(false);
    EXPECT_NE(Render(*box).pixelColor(probe), QColor(0, 0, 255));
}
