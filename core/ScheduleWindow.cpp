#include "core/ScheduleWindow.h"

#include "controls/buttons/AdvSmoothButton.h"
#include "controls/label/AdvSmoothLabel.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "core/DesignPalette.h"
#include "platform/framework/Application.h"
#include "platform/framework/Dialogs.h"
#include "platform/settings/SettingsStore.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace lumora {

namespace {
constexpr TColor kButtonColor = 0xE3B28D; // the main window's buttons
} // namespace

TScheduleWindow::TScheduleWindow(TSettingsStore* settings, const QString& zoneCity, int screenPixelsPerInch)
    : TForm(nullptr, screenPixelsPerInch), settings_(settings)
{
    setObjectName("frmSchedule");
    SetCaption("Schedule");
    if (settings_)
        loaded_ = DraftFromSettings(settings_->Load());

    grid_ = new QGridLayout(this);
    auto* intro = new QLabel("Profiles apply themselves when a trigger fires. Triggers, separated by \";\": a time "
                             "(07:30), sunrise or sunset with an offset (sunset - 30 min), on battery, on mains, a "
                             "light range (< 50 lx, 50-500 lx, > 500 lx).",
                             this);
    intro->setWordWrap(true);
    grid_->addWidget(intro, 0, 0, 1, 2);

    if (loaded_.Rows.empty())
        grid_->addWidget(new QLabel("No profile has been saved yet: save one from the main window first.", this), 1, 0, 1, 2);
    for (const TScheduleDraft::Row& row : loaded_.Rows) {
        triggerBoxes_.push_back(AddBox(row.Profile, row.Triggers, "edtTriggers_" + row.Profile));
        // Room for a few triggers ("sunset - 30 min; < 50 lx") in full.
        triggerBoxes_.back()->setMinimumWidth(Scale(300));
    }

    latitude_ = AddBox("Latitude (north +)", loaded_.Latitude, "edtLatitude");
    longitude_ = AddBox("Longitude (east +)", loaded_.Longitude, "edtLongitude");
    latitude_->setPlaceholderText(zoneCity.isEmpty() ? QString("no time zone city known") : "as " + zoneCity);
    longitude_->setPlaceholderText(latitude_->placeholderText());
    fade_ = AddBox("Fade (seconds)", loaded_.FadeSeconds, "edtFade");

    auto* lightCaption = new TAdvSmoothLabel(this);
    lightCaption->Caption().SetText("Follow the room's light");
    lightCaption->Fill().SetBorderColor(clNone);
    lightCaption->setMinimumSize(Scale(200), Scale(30));
    lightSwitch_ = new TAdvSmoothSlider(this);
    lightSwitch_->setObjectName("sldLightCurve");
    lightSwitch_->AppearanceOn().SetCaption("On");
    lightSwitch_->AppearanceOff().SetCaption("Off");
    lightSwitch_->setFixedSize(Scale(91), Scale(30));
    lightSwitch_->setFocusPolicy(Qt::StrongFocus);
    lightSwitch_->SetState(loaded_.LightCurve ? ssOn : ssOff);
    lightSwitch_->installEventFilter(this);
    const int lightRow = grid_->rowCount();
    grid_->addWidget(lightCaption, lightRow, 0);
    grid_->addWidget(lightSwitch_, lightRow, 1, Qt::AlignLeft);
    shift_ = AddBox("Light curve shift (-5 darker ... 5 brighter)", loaded_.LightShift, "edtLightShift");
    lightPause_ = AddBox("After a hand change, rest (minutes; 0: until the next time trigger)", loaded_.LightPauseMinutes,
                         "edtLightPause");
    lightNotice_ = new QLabel(this);
    lightNotice_->setObjectName("lblLightNotice");
    lightNotice_->setWordWrap(true);
    lightNotice_->hide();
    grid_->addWidget(lightNotice_, grid_->rowCount(), 0, 1, 2);

    const auto makeButton = [this](const char* name, const char* caption) {
        auto* button = new TAdvSmoothButton(this);
        button->SetName(name);
        button->SetCaption(caption);
        button->SetColor(kButtonColor);
        button->setFixedSize(Scale(120), Scale(35));
        button->setFocusPolicy(Qt::StrongFocus);
        return button;
    };
    saveButton_ = makeButton("btnSaveSchedule", "Save");
    cancelButton_ = makeButton("btnCancelSchedule", "Cancel");
    saveButton_->OnClick = [this](TObject*) {
        if (Save())
            close();
    };
    cancelButton_->OnClick = [this](TObject*) { close(); };
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton_);
    buttons->addWidget(cancelButton_);
    grid_->addLayout(buttons, grid_->rowCount(), 0, 1, 2);

    // Reading order.
    QWidget* previous = nullptr;
    const auto chain = [&](QWidget* w) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    };
    for (QLineEdit* box : triggerBoxes_)
        chain(box);
    chain(latitude_);
    chain(longitude_);
    chain(fade_);
    chain(lightSwitch_);
    chain(shift_);
    chain(lightPause_);
    chain(saveButton_);
    chain(cancelButton_);
    (triggerBoxes_.empty() ? latitude_ : triggerBoxes_.front())->setFocus();
    grid_->setColumnStretch(1, 1);
    resize(std::max(Scale(560), sizeHint().width()), sizeHint().height());
}

void TScheduleWindow::SetLightNotice(const QString& text)
{
    lightNotice_->setText(text);
    lightNotice_->setVisible(!text.isEmpty());
    resize(width(), std::max(height(), sizeHint().height()));
}

QString TScheduleWindow::LightNotice() const { return lightNotice_->isVisibleTo(this) ? lightNotice_->text() : QString(); }

QLineEdit* TScheduleWindow::AddBox(const QString& caption, const QString& text, const QString& name)
{
    auto* label = new QLabel(caption, this);
    auto* box = new QLineEdit(text, this);
    box->setObjectName(name);
    label->setBuddy(box);
    QObject::connect(box, &QLineEdit::returnPressed, this, [this] {
        RunGuarded([this] {
            if (Save())
                close();
        });
    });
    const int row = grid_->rowCount();
    grid_->addWidget(label, row, 0);
    grid_->addWidget(box, row, 1);
    return box;
}

TScheduleDraft TScheduleWindow::Draft() const
{
    TScheduleDraft draft = loaded_;
    for (size_t i = 0; i < triggerBoxes_.size(); ++i)
        draft.Rows[i].Triggers = triggerBoxes_[i]->text();
    draft.Latitude = latitude_->text();
    draft.Longitude = longitude_->text();
    draft.FadeSeconds = fade_->text();
    draft.LightCurve = lightSwitch_->State() == ssOn;
    draft.LightShift = shift_->text();
    draft.LightPauseMinutes = lightPause_->text();
    return draft;
}

bool TScheduleWindow::Save()
{
    const TScheduleDraft draft = Draft();
    if (const std::optional<TDraftProblem> problem = CheckDraft(draft)) {
        QLineEdit* box = nullptr;
        switch (problem->Where) {
        case TDraftProblem::Triggers: box = triggerBoxes_.at(problem->Row); break;
        case TDraftProblem::Latitude: box = latitude_; break;
        case TDraftProblem::Longitude: box = longitude_; break;
        case TDraftProblem::FadeSeconds: box = fade_; break;
        case TDraftProblem::LightShift: box = shift_; break;
        case TDraftProblem::LightPause: box = lightPause_; break;
        }
        ShowMessage(problem->Message, this);
        box->setFocus();
        box->selectAll();
        return false;
    }
    if (settings_)
        SaveDraft(*settings_, draft);
    loaded_ = draft;
    if (OnSaved)
        OnSaved();
    return true;
}

void TScheduleWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    TForm::keyPressEvent(event);
}

bool TScheduleWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The switch flips with Space, as a check box does.
    if (watched == lightSwitch_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        lightSwitch_->SetState(lightSwitch_->State() == ssOn ? ssOff : ssOn);
        return true;
    }
    return TForm::eventFilter(watched, event);
}

} // namespace lumora
