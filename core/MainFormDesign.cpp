// The main window's design: every component in creation order with the
// properties it is given. Positions and font heights are design units at
// 120 pixels per inch; the form scales them to the screen.

#include "core/BrightnessUnit.h"
#include "core/DesignPalette.h"
#include "core/MainWindowLook.h"

#include "controls/picture/AdvGDIPicture.h"
#include "controls/buttons/AdvSmoothButton.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/label/AdvSmoothLabel.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "controls/fill/GDIPFill.h"
#include "controls/chart/SPBEPC.h"
#include "platform/gdiplus/Image.h"
#include "tray/CoolTrayIcon.h"
#include "tray/adpInstanceControl.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace lumora {

// The program's icon at the sizes a notification area or a title bar asks
// for, built into the executable.
QIcon ProgramIcon()
{
    // Decoded here rather than by QIcon::addFile, which would load every
    // image format plugin to find the one that reads PNG.
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(gdiplus::Image::FromFile(QStringLiteral(":/icons/lumora-%1.png").arg(size))->ToQImage()));
    return icon;
}

QImage PickerGlyph()
{
    return gdiplus::Image::FromFile(QStringLiteral(":/picker/dropdown-17.png"))->ToQImage().convertToFormat(QImage::Format_ARGB32);
}

namespace {

void Paint(TGDIPFill& fill, const FillColors& c, TAdvGradientType type, TAdvGradientType mirrorType)
{
    Paint(fill, c);
    fill.SetGradientType(type);
    fill.SetGradientMirrorType(mirrorType);
}

void PaintBand(TAdvSmoothImageListBoxHeader& band, const QString& caption, const TFont& font)
{
    band.SetCaption(caption);
    band.Font().Assign(font);
    Paint(band.Fill(), {kLightBlue, kBlue, clNone, clNone, kBlue});
}

// The list the picker drops down: 600 x 450, header and footer captions, the
// navigator in the footer only, and the item colours of the design.
void ConfigureProfileList(TAdvSmoothImageListBox& box, const TForm& form)
{
    box.resize(form.Scale(600), form.Scale(450));
    TAdvSmoothImageListBoxItemAppearance& items = box.ItemAppearance();
    Paint(items.Fill(), {kLightBlue, 0xFFDDC4, kMidBlue, 0xFFDBC0, kMidBlue}, gtVertical, gtVertical);
    Paint(items.SelectedFill(), {0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0x7AE1FE, kMidBlue}, gtVertical, gtVertical);
    Paint(items.HoverFill(), {0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0x99CEDB}, gtVertical, gtVertical);
    Paint(items.DisabledFill(), {0xF2F2F2, 0xB6B6B6, 0xB6B6B6, 0xF2F2F2, kMidBlue}, gtVertical, gtVertical);
    const TFont bandFont = DesignFont(form.PixelsPerInch(), -17, 0x723708);
    PaintBand(box.Header(), "Choose a profile icon", bandFont);
    PaintBand(box.Footer(), "Weather and lumination affect the brightness.", bandFont);
    box.Header().Navigator().SetVisible(false);
    TAdvSmoothImageListBoxNavigator& navigator = box.Footer().Navigator();
    navigator.SetVisible(true);
    navigator.SetColor(kLightBlue);
    navigator.SetHoverColor(0xAAD9FF);
    navigator.SetDownColor(0x6EBBFF);
    navigator.SetDisabledColor(clGray);
    navigator.SetBorderColor(clBlack);
    navigator.SetHintNext("Next Item");
    navigator.SetHintPrevious("Previous Item");
    navigator.SetHintNextPage("Next Page");
    navigator.SetHintPreviousPage("Previous Page");
    Paint(box.Fill(), {0xDCB698, 0xDCB698});
}

} // namespace

void TForm1::CreateComponents()
{
    SetCaption("Lumora Brightness Control");
    SetClientSize(694, 422);
    SetColor(clBtnFace);
    TFont formFont = DesignFont(PixelsPerInch(), -13);
    SetFont(formFont);

    // Track bar.
    AdvSmoothTrackBar1 = new TAdvSmoothTrackBar(this);
    AdvSmoothTrackBar1->SetName("AdvSmoothTrackBar1");
    PlaceControl(AdvSmoothTrackBar1, 24, 8, kMainWindowTrackBarSize.width(), kMainWindowTrackBarSize.height());
    ApplyMainWindowTrackBarLook(*AdvSmoothTrackBar1, PixelsPerInch());

    // Gauge.
    BG = new TAdvSmoothGauge(this, this);
    BG->SetName("BG");
    PlaceControl(BG, 141, 8, kMainWindowGaugeSize.width(), kMainWindowGaugeSize.height());
    ApplyMainWindowGaugeLook(*BG, PixelsPerInch());

    // Profile picker.
    AdvSmoothImageListBoxPicker1 = new TAdvSmoothImageListBoxPicker(this);
    AdvSmoothImageListBoxPicker1->SetName("AdvSmoothImageListBoxPicker1");
    PlaceControl(AdvSmoothImageListBoxPicker1, 141, 214, 200, 30);
    AdvSmoothImageListBoxPicker1->Font().Assign(DesignFont(PixelsPerInch(), -18));
    AdvSmoothImageListBoxPicker1->SetButtonWidth(Scale(16));
    AdvSmoothImageListBoxPicker1->SetButtonStyle(bsDropDown);
    AdvSmoothImageListBoxPicker1->SetGlyph(PickerGlyph());
    AdvSmoothImageListBoxPicker1->SetHideListBoxAfterSelection(true);
    AdvSmoothImageListBoxPicker1->SetSelectedImageIndex(-1);
    ConfigureProfileList(AdvSmoothImageListBoxPicker1->ListBox(), *this);
    // Picture files dropped on the list become profile pictures; the list's
    // own pictures are not dragged out of it.
    AdvSmoothImageListBoxPicker1->ListBox().SetOleDragDrop(true);
    AdvSmoothImageListBoxPicker1->ListBox().OnItemStartDrag = [](TObject*, int, bool& allow) { allow = false; };

    // Profile picture.
    AdvGDIPPicture1 = new AdvGDIPicture::TAdvGDIPPicture(this);
    AdvGDIPPicture1->setObjectName("AdvGDIPPicture1");
    PlaceControl(AdvGDIPPicture1, 141, 254, 72, 72);
    AdvGDIPPicture1->SetCenter(true);
    AdvGDIPPicture1->SetStretch(true);

    // Summary lines.
    QLabel** labels[] = {&Label1, &Label2, &Label3};
    const int labelTops[] = {254, 283, 312};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("Label%1").arg(i + 1));
        label->setFont(formFont.ToQFont());
        const QRect r = ScaleRect(232, labelTops[i], 0, 0);
        label->move(r.topLeft());
        *labels[i] = label;
    }

    // Rating chart.
    SPBEPC1 = new TSPBEPC(this);
    PlaceControl(SPBEPC1, 358, 8, kMainWindowChartSize.width(), kMainWindowChartSize.height());
    ApplyMainWindowChartLook(*SPBEPC1, PixelsPerInch());

    // Buttons.
    const auto makeButton = [this](const char* name, const char* caption, int left) {
        auto* button = new TAdvSmoothButton(this);
        button->SetName(name);
        PlaceControl(button, left, 283, 120, 35);
        button->SetCaption(caption);
        button->SetColor(0xE3B28D);
        return button;
    };
    btnSaveProfile = makeButton("btnSaveProfile", "Save Profile", 417);
    btnApplySettings = makeButton("btnApplySettings", "Apply Settings", 558);

    // Start-up caption and switch.
    AdvSmoothLabel1 = new TAdvSmoothLabel(this);
    AdvSmoothLabel1->SetName("AdvSmoothLabel1");
    PlaceControl(AdvSmoothLabel1, 141, 334, 396, 40);
    AdvSmoothLabel1->Caption().SetText("Set brightness settings on system startup");
    AdvSmoothLabel1->Caption().SetFont(DesignFont(PixelsPerInch(), -20));
    AdvSmoothLabel1->Fill().SetBorderColor(clNone);
    AdvSmoothLabel1->Fill().SetRounding(0);

    AdvSmoothSlider1 = new TAdvSmoothSlider(this);
    AdvSmoothSlider1->SetName("AdvSmoothSlider1");
    PlaceControl(AdvSmoothSlider1, 558, 341, 91, 30);
    AdvSmoothSlider1->AppearanceOn().SetCaption("On");
    Paint(AdvSmoothSlider1->AppearanceOn().Fill(), {0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0x7AE1FE, 0x42AEFE, 4});
    AdvSmoothSlider1->AppearanceOn().Fill().SetRoundingType(rtLeft);
    AdvSmoothSlider1->AppearanceOff().SetCaption("Off");
    Paint(AdvSmoothSlider1->AppearanceOff().Fill(), {kLightBlue, 0xFFDDC4, kMidBlue, 0xFFDBC0, clNone, 4});
    AdvSmoothSlider1->AppearanceOff().Fill().SetRoundingType(rtRight);
    Paint(AdvSmoothSlider1->ButtonAppearance().Fill(), {kLightBlue, kBlue, clNone, clNone, kBlue, 4});

    // Idle caption with the minutes box standing over its run of blanks.
    AdvSmoothLabel2 = new TAdvSmoothLabel(this);
    AdvSmoothLabel2->SetName("AdvSmoothLabel2");
    PlaceControl(AdvSmoothLabel2, 141, 377, 484, 40);
    AdvSmoothLabel2->Caption().SetText("Reduce brightness when idle is over           minutes");
    AdvSmoothLabel2->Caption().SetFont(DesignFont(PixelsPerInch(), -20));

    edtInterval = new QLineEdit(this);
    edtInterval->setObjectName("edtInterval");
    // In the caption's blank run between "over" and "minutes", with a few
    // pixels to spare on either side: the run is 49 pixels wide at 120
    // pixels per inch, so the box is narrower than that.
    PlaceControl(edtInterval, 463, 380, 41, 32);
    edtInterval->setFont(DesignFont(PixelsPerInch(), -20).ToQFont());
    edtInterval->setText("60");

    // Timers.
    const auto makeTimer = [this](const char* name, int interval) {
        auto* timer = new TTimer(this);
        ownedComponents_.emplace_back(timer);
        timer->SetName(name);
        timer->SetEnabled(false);
        timer->SetInterval(interval);
        return timer;
    };
    Timer1 = makeTimer("Timer1", 500);
    Timer3 = makeTimer("Timer3", 750);

    // Tray icon and its menu.
    PopupMenu1 = new QMenu(this);
    ShowWindow1 = PopupMenu1->addAction("Show Window");
    RestoreBrightness1 = PopupMenu1->addAction("Restore Brightness");
    PopupMenu1->addSeparator();
    MinBrightness1 = PopupMenu1->addAction("Min Brightness");
    MaxBrightness1 = PopupMenu1->addAction("Max Brightness");
    PopupMenu1->addSeparator();
    urnOffMonitor1 = PopupMenu1->addAction("Turn Off Monitor");
    PopupMenu1->addSeparator();
    Exit1 = PopupMenu1->addAction("Exit");

    trayIcon_ = std::make_unique<TCoolTrayIcon>(this, services_.TrayHost);
    CoolTrayIcon1 = trayIcon_.get();
    CoolTrayIcon1->SetCycleInterval(0);
    CoolTrayIcon1->SetEnabled(false);
    CoolTrayIcon1->SetHint("Adjust Monitor Brightness");
    CoolTrayIcon1->SetIcon(ProgramIcon());
    CoolTrayIcon1->SetIconIndex(0);
    CoolTrayIcon1->SetPopupMenu(PopupMenu1);

    // Single-instance guard.
    adpInstanceControl1 = new TadpInstanceControl(this, this);
    ownedComponents_.emplace_back(adpInstanceControl1);
    adpInstanceControl1->SetName("adpInstanceControl1");
    adpInstanceControl1->SetEnabled(true);
    adpInstanceControl1->SetMaxInstances(1);
    if (!services_.ExecutablePath.isEmpty())
        adpInstanceControl1->SetExecutablePath(services_.ExecutablePath);
    if (!services_.InstanceRecordFolder.isEmpty())
        adpInstanceControl1->SetRecordFolder(services_.InstanceRecordFolder);
    adpInstanceControl1->OnTerminate = [this] { Terminate(); };
}

} // namespace lumora
