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
    trackBar_ = new TAdvSmoothTrackBar(this);
    trackBar_->SetName("AdvSmoothTrackBar1");
    PlaceControl(trackBar_, 24, 8, kMainWindowTrackBarSize.width(), kMainWindowTrackBarSize.height());
    ApplyMainWindowTrackBarLook(*trackBar_, PixelsPerInch());

    // Gauge.
    gauge_ = new TAdvSmoothGauge(this, this);
    gauge_->SetName("BG");
    PlaceControl(gauge_, 141, 8, kMainWindowGaugeSize.width(), kMainWindowGaugeSize.height());
    ApplyMainWindowGaugeLook(*gauge_, PixelsPerInch());

    // Profile picker.
    profilePicker_ = new TAdvSmoothImageListBoxPicker(this);
    profilePicker_->SetName("AdvSmoothImageListBoxPicker1");
    PlaceControl(profilePicker_, 141, 214, 200, 30);
    profilePicker_->Font().Assign(DesignFont(PixelsPerInch(), -18));
    profilePicker_->SetButtonWidth(Scale(16));
    profilePicker_->SetButtonStyle(bsDropDown);
    profilePicker_->SetGlyph(PickerGlyph());
    profilePicker_->SetHideListBoxAfterSelection(true);
    profilePicker_->SetSelectedImageIndex(-1);
    ConfigureProfileList(profilePicker_->ListBox(), *this);
    // Picture files dropped on the list become profile pictures; the list's
    // own pictures are not dragged out of it.
    profilePicker_->ListBox().SetOleDragDrop(true);
    profilePicker_->ListBox().OnItemStartDrag = [](TObject*, int, bool& allow) { allow = false; };

    // Profile picture.
    profilePicture_ = new AdvGDIPicture::TAdvGDIPPicture(this);
    profilePicture_->setObjectName("AdvGDIPPicture1");
    PlaceControl(profilePicture_, 141, 254, 72, 72);
    profilePicture_->SetCenter(true);
    profilePicture_->SetStretch(true);

    // Summary lines.
    QLabel** labels[] = {&levelSummary_, &startupSummary_, &intervalSummary_};
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
    ratingChart_ = new TSPBEPC(this);
    PlaceControl(ratingChart_, 358, 8, kMainWindowChartSize.width(), kMainWindowChartSize.height());
    ApplyMainWindowChartLook(*ratingChart_, PixelsPerInch());

    // Buttons.
    const auto makeButton = [this](const char* name, const char* caption, int left) {
        auto* button = new TAdvSmoothButton(this);
        button->SetName(name);
        PlaceControl(button, left, 283, 120, 35);
        button->SetCaption(caption);
        button->SetColor(0xE3B28D);
        return button;
    };
    saveProfileButton_ = makeButton("btnSaveProfile", "Save Profile", 417);
    applySettingsButton_ = makeButton("btnApplySettings", "Apply Settings", 558);

    // Start-up caption and switch.
    startupCaption_ = new TAdvSmoothLabel(this);
    startupCaption_->SetName("AdvSmoothLabel1");
    PlaceControl(startupCaption_, 141, 334, 396, 40);
    startupCaption_->Caption().SetText("Set brightness settings on system startup");
    startupCaption_->Caption().SetFont(DesignFont(PixelsPerInch(), -20));
    startupCaption_->Fill().SetBorderColor(clNone);
    startupCaption_->Fill().SetRounding(0);

    startupSwitch_ = new TAdvSmoothSlider(this);
    startupSwitch_->SetName("AdvSmoothSlider1");
    PlaceControl(startupSwitch_, 558, 341, 91, 30);
    startupSwitch_->AppearanceOn().SetCaption("On");
    Paint(startupSwitch_->AppearanceOn().Fill(), {0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0x7AE1FE, 0x42AEFE, 4});
    startupSwitch_->AppearanceOn().Fill().SetRoundingType(rtLeft);
    startupSwitch_->AppearanceOff().SetCaption("Off");
    Paint(startupSwitch_->AppearanceOff().Fill(), {kLightBlue, 0xFFDDC4, kMidBlue, 0xFFDBC0, clNone, 4});
    startupSwitch_->AppearanceOff().Fill().SetRoundingType(rtRight);
    Paint(startupSwitch_->ButtonAppearance().Fill(), {kLightBlue, kBlue, clNone, clNone, kBlue, 4});

    // Idle caption with the minutes box standing over its run of blanks.
    intervalCaption_ = new TAdvSmoothLabel(this);
    intervalCaption_->SetName("AdvSmoothLabel2");
    PlaceControl(intervalCaption_, 141, 377, 484, 40);
    intervalCaption_->Caption().SetText("Reduce brightness when idle is over           minutes");
    intervalCaption_->Caption().SetFont(DesignFont(PixelsPerInch(), -20));

    intervalBox_ = new QLineEdit(this);
    intervalBox_->setObjectName("edtInterval");
    // In the caption's blank run between "over" and "minutes", with a few
    // pixels to spare on either side: the run is 49 pixels wide at 120
    // pixels per inch, so the box is narrower than that.
    PlaceControl(intervalBox_, 463, 380, 41, 32);
    intervalBox_->setFont(DesignFont(PixelsPerInch(), -20).ToQFont());
    intervalBox_->setText("60");

    // Timers.
    const auto makeTimer = [this](const char* name, int interval) {
        auto* timer = new TTimer(this);
        ownedComponents_.emplace_back(timer);
        timer->SetName(name);
        timer->SetEnabled(false);
        timer->SetInterval(interval);
        return timer;
    };
    startupTimer_ = makeTimer("Timer1", 500);
    loginStartTimer_ = makeTimer("Timer3", 750);

    // Tray icon and its menu.
    trayMenu_ = new QMenu(this);
    showWindowItem_ = trayMenu_->addAction("Show Window");
    restoreBrightnessItem_ = trayMenu_->addAction("Restore Brightness");
    trayMenu_->addSeparator();
    minBrightnessItem_ = trayMenu_->addAction("Min Brightness");
    maxBrightnessItem_ = trayMenu_->addAction("Max Brightness");
    trayMenu_->addSeparator();
    turnOffMonitorItem_ = trayMenu_->addAction("Turn Off Monitor");
    trayMenu_->addSeparator();
    exitItem_ = trayMenu_->addAction("Exit");

    trayIcon_ = std::make_unique<TCoolTrayIcon>(this, services_.TrayHost);
    trayIcon_->SetCycleInterval(0);
    trayIcon_->SetEnabled(false);
    trayIcon_->SetHint("Adjust Monitor Brightness");
    trayIcon_->SetIcon(ProgramIcon());
    trayIcon_->SetIconIndex(0);
    trayIcon_->SetPopupMenu(trayMenu_);

    // Single-instance guard.
    instanceControl_ = new TadpInstanceControl(this, this);
    ownedComponents_.emplace_back(instanceControl_);
    instanceControl_->SetName("adpInstanceControl1");
    instanceControl_->SetEnabled(true);
    instanceControl_->SetMaxInstances(1);
    if (!services_.ExecutablePath.isEmpty())
        instanceControl_->SetExecutablePath(services_.ExecutablePath);
    if (!services_.InstanceRecordFolder.isEmpty())
        instanceControl_->SetRecordFolder(services_.InstanceRecordFolder);
    instanceControl_->OnTerminate = [this] { Terminate(); };
}

} // namespace lumora
