#include "GalleryPage.h"

#include "controls/imagelist/AdvSmoothImageListBox.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>
#include <QWidget>

using namespace lumora;

namespace {

QImage Swatch(QColor from, QColor to)
{
    QImage image(120, 90, QImage::Format_ARGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 120, 90);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(image.rect(), g);
    return image;
}

void Solid(TGDIPFill& f, TColor from, TColor to, TColor border)
{
    f.SetColor(from);
    f.SetColorTo(to);
    f.SetGradientType(gtVertical);
    f.SetBorderColor(border);
    f.SetRounding(6);
}

} // namespace

// Captions with markup (bold, colours, anchors, shadow, the caption template),
// group bands with their expander buttons, and a see-through top-layer panel.
static const GalleryPage page("Image list captions and groups", 85, [](QWidget* parent) {
    auto* sheet = new QWidget(parent);
    auto* column = new QVBoxLayout(sheet);
    auto* status = new QLabel("Click an anchor or a group's button", sheet);

    auto* box = new TAdvSmoothImageListBox(sheet);
    box->setFixedSize(600, 420);
    box->SetRows(2);
    box->Header().SetCaption("Pictures by time of day");
    box->Footer().SetVisible(false);
    Solid(box->Fill(), 0xF3EAE2, 0xDCB698, clNone);
    Solid(box->Header().Fill(), 0xFFEFE3, 0xFFD2AF, 0xFFD2AF);
    box->Header().Font().SetHeight(-15);
    TAdvSmoothImageListBoxItemAppearance& a = box->ItemAppearance();
    a.SetItemWidth(130);
    a.SetItemHeight(140);
    a.SetTextVisible(true);
    a.SetTextHeight(44);
    Solid(a.Fill(), 0xFFFFFF, 0xF0E8E0, 0xC8B8A8);
    Solid(a.HoverFill(), 0xEBFDFF, 0xACECFF, 0x99CEDB);
    Solid(a.SelectedFill(), 0xAAD9FF, 0x6EBBFF, 0xFFD1AD);
    box->DefaultHTMLText().SetText("<b><#FILENAME></b><br><font color=\"gray\"><#FILESIZE> bytes</font>");
    box->DefaultHTMLText().SetLocation(cpCenterCenter);

    struct Sample {
        const char* caption;
        const char* file;
        QColor from, to;
    };
    const Sample day[] = {
        {"<b>Morning</b><br><a href=\"about:morning\">details</a>", "", QColor(255, 220, 120), QColor(255, 160, 60)},
        {"<shad><font color=\"#3060c0\" size=\"4\">Noon</font></shad>", "", QColor(120, 200, 255), QColor(40, 120, 220)},
        {"", "Afternoon.png", QColor(250, 200, 150), QColor(200, 120, 80)},
        {"<i>Dusk</i> &amp; <u>sunset</u>", "", QColor(250, 130, 90), QColor(120, 60, 120)},
    };
    const Sample night[] = {
        {"<font color=\"navy\"><b>Night</b></font>", "", QColor(40, 50, 110), QColor(10, 10, 30)},
        {"", "Reading lamp.png", QColor(255, 240, 200), QColor(120, 90, 40)},
        {"<s>Presentation</s><br>Movie", "", QColor(60, 60, 60), QColor(0, 0, 0)},
    };

    box->Items().BeginUpdate();
    const auto group = [&](const QString& title, const auto& samples) {
        TAdvSmoothImageListBoxItem* band = box->Items().Add();
        band->SetSplitter(true);
        band->SetSplitterText(title);
        for (const Sample& s : samples) {
            TAdvSmoothImageListBoxItem* item = box->Items().Add();
            item->SetImage(Swatch(s.from, s.to));
            item->Caption().SetText(QString::fromUtf8(s.caption));
            item->Caption().SetLocation(cpCenterCenter);
            item->SetFileName(QString::fromUtf8(s.file));
            item->SetFileSize(48213);
            item->SetHint(QStringLiteral("Hint of ") + title);
        }
    };
    group("Day", day);
    group("Evening and night", night);
    box->Items().EndUpdate();

    TAdvSmoothImageListBoxTopLayerItem* banner = box->TopLayerItems().Add();
    banner->SetAlign(tlBottom);
    banner->SetHeight(34);
    banner->SetOpacity(200);
    Solid(banner->Fill(), 0x505050, 0x202020, clNone);
    banner->Fill().SetRounding(0);
    banner->HTMLText().SetText("Top layer: <b>7</b> pictures in <font color=\"#ffd040\">2 groups</font>");
    banner->HTMLText().Font().SetColor(clWhite);

    box->OnItemAnchorClick = [status](TObject*, int item, const QString& href) {
        status->setText(QStringLiteral("Anchor of item %1: %2").arg(item).arg(href));
    };
    box->SetSelectedItemIndex(2);

    column->addWidget(box);
    column->addWidget(status);
    return sheet;
});
