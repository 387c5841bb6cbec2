#include "GalleryPage.h"

#include "controls/buttons/AdvSmoothButton.h"
#include "controls/fill/GDIPButton.h"
#include "controls/fill/GDIPStatus.h"
#include "platform/gdiplus/Graphics.h"

#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

using namespace lumora;

namespace {

constexpr TColor kMainWindowColor = 0xE3B28D;

TAdvSmoothButton* MakeButton(QWidget* parent, const QString& caption, TColor colour = kMainWindowColor)
{
    auto* b = new TAdvSmoothButton(parent);
    b->SetCaption(caption);
    b->SetColor(colour);
    b->Appearance().Font().SetName("Tahoma");
    b->Appearance().Font().SetHeight(-13);
    b->setFixedSize(120, 35);
    // The main window stores this badge, hidden because Visible stays off.
    b->Status().SetCaption("0");
    b->Status().Appearance().Fill().SetColor(clRed);
    b->Status().Appearance().Fill().SetGradientType(gtSolid);
    b->Status().Appearance().Fill().SetBorderColor(clGray);
    b->Status().Appearance().Font().SetColor(clWhite);
    return b;
}

QLabel* Picture(QWidget* parent, const QImage& image)
{
    auto* label = new QLabel(parent);
    label->setPixmap(QPixmap::fromImage(image));
    return label;
}

// One face drawn straight through the appearance, without a control.
QImage Face(const QString& caption, bool pressed, bool shadow, bool bevel, int w = 120, int h = 35)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    gdiplus::Graphics graphics(&image);
    graphics.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
    TGDIPButton appearance;
    appearance.Font().SetHeight(-13);
    appearance.DrawFace(graphics, caption, nullptr, bevel, pressed, shadow, clWhite, kMainWindowColor, 0, 0, h, w);
    return image;
}

// One badge at its measured size.
QImage Badge(const QString& caption, bool glow)
{
    QImage image(48, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    gdiplus::Graphics graphics(&image);
    graphics.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
    TGDIPStatus badge;
    badge.Fill().SetColor(clRed);
    badge.Fill().SetGradientType(gtSolid);
    badge.Fill().SetBorderColor(clGray);
    badge.Font().SetHeight(-13);
    badge.Font().SetColor(clWhite);
    badge.SetGlow(glow);
    badge.Measure(graphics, caption);
    badge.DrawBadge(graphics, 1, caption, true, 0, 0, 1);
    return image;
}

} // namespace

// The face and the badge as the appearance objects paint them: idle,
// pressed, with a shadow, without the bevel; badges of one, two and three
// characters, and without the gloss.
static const GalleryPage facePage("Button face and badge", 69, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);
    grid->addWidget(Picture(box, Face("Idle", false, false, true)), 0, 0);
    grid->addWidget(Picture(box, Face("Pressed", true, false, true)), 0, 1);
    grid->addWidget(Picture(box, Face("Shadow", false, true, true)), 1, 0);
    grid->addWidget(Picture(box, Face("No bevel", false, false, false)), 1, 1);
    grid->addWidget(Picture(box, Face("Tall", false, false, true, 120, 70)), 2, 0);
    auto* badges = new QWidget(box);
    auto* row = new QGridLayout(badges);
    row->addWidget(Picture(badges, Badge("0", true)), 0, 0);
    row->addWidget(Picture(badges, Badge("12", true)), 0, 1);
    row->addWidget(Picture(badges, Badge("123", true)), 0, 2);
    row->addWidget(Picture(badges, Badge("7", false)), 0, 3);
    grid->addWidget(badges, 2, 1);
    return box;
});

// The main window's two buttons, then the looks a button can take: shadow,
// badge, disabled, an accelerator and a few colour styles.
static const GalleryPage page("Push button", 70, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);

    grid->addWidget(MakeButton(box, "Save Profile"), 0, 0);
    grid->addWidget(MakeButton(box, "Apply Settings"), 0, 1);

    auto* shadow = MakeButton(box, "Shadow");
    shadow->SetShadow(true);
    grid->addWidget(shadow, 1, 0);

    auto* badge = MakeButton(box, "Badge");
    badge->Status().SetVisible(true);
    badge->Status().SetCaption("3");
    grid->addWidget(badge, 1, 1);

    auto* disabled = MakeButton(box, "Disabled");
    disabled->setEnabled(false);
    grid->addWidget(disabled, 2, 0);

    auto* accelerator = MakeButton(box, "&Accelerator");
    accelerator->SetBevel(false);
    grid->addWidget(accelerator, 2, 1);

    int column = 0;
    for (int style : {2, 5, 11}) {
        auto* styled = MakeButton(box, QStringLiteral("Style %1").arg(style));
        styled->ApplyColorStyle(style);
        grid->addWidget(styled, 3 + column / 2, column % 2);
        ++column;
    }
    return box;
});
