// The picker's footer as the main window configures it: the caption must
// stay clear of the navigator's "<<" button on screens of every common
// density (at 96 pixels per inch the list shrinks and the buttons do not),
// in the design font and in the wider fonts a machine without it falls
// back to.

#include "MainWindowStandIns.h"

#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"

#include <QImage>

using namespace lumora;
using namespace lumora::testing;

namespace {

QImage Render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget.render(&image);
    return image;
}

// Pixels the caption paints inside `guarded` (and in all), found as the
// difference between the list painted with its footer caption and without.
std::pair<int, int> CaptionPixels(TAdvSmoothImageListBox& box, const QRect& guarded)
{
    const QString caption = box.Footer().Caption();
    const QImage with = Render(box);
    box.Footer().SetCaption(QString());
    const QImage without = Render(box);
    box.Footer().SetCaption(caption);
    const QRect footer = box.FooterRect().toAlignedRect().intersected(with.rect());
    int inside = 0;
    int painted = 0;
    for (int y = footer.top(); y <= footer.bottom(); ++y) {
        for (int x = footer.left(); x <= footer.right(); ++x) {
            if (with.pixel(x, y) == without.pixel(x, y))
                continue;
            ++painted;
            inside += guarded.contains(x, y) ? 1 : 0;
        }
    }
    return {inside, painted};
}

} // namespace

TEST_F(StandInWindowTest, PickerFooterCaptionStaysClearOfTheNavigator)
{
    AddPanel();
    OpenStores();
    for (const int dpi : {96, 120, 144}) {
        TForm1Services services = StandInServices();
        services.ScreenPixelsPerInch = dpi;
        form.reset();
        form = std::make_unique<TForm1>(services);
        TAdvSmoothImageListBox& box = Seam().ProfilePicker().ListBox();
        const std::optional<QRectF> strip = box.NavigatorRect(true);
        ASSERT_TRUE(strip.has_value());
        ASSERT_FALSE(box.Footer().Caption().isEmpty());
        // The strip and the 5-pixel gap before its first button ("<<").
        const QRect guarded = strip->adjusted(-5, 0, 0, 0).toAlignedRect();
        const QString design = box.Footer().Font().Name();
        for (const QString& family : {design, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}) {
            SCOPED_TRACE(QString("%1 ppi, %2").arg(dpi).arg(family).toStdString());
            box.Footer().Font().SetName(family);
            const auto [inside, painted] = CaptionPixels(box, guarded);
            EXPECT_GT(painted, 100) << "the caption is drawn";
            EXPECT_EQ(inside, 0) << "caption pixels inside the navigator or its gap";
        }
    }
}
