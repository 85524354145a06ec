// The main window's options: the pop-up menu under "S D", the announcement check boxes and
// their rules, the course list, the speed unit and the two commands of the menu that act on
// the run ("Plus1Lap", "Real").
#include "CourseList.h"
#include "TCuteButton.h"
#include "TDropDownBox.h"
#include "TKelvoS.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using namespace kelvos;

namespace {
struct MenuItemSpec {
    const char* name;
    const char* caption;
    bool checkable;
    bool checked;
};

// The pop-up menu in its order; a null name stands for a separator.
constexpr MenuItemSpec kMenuItems[] = {
    {"MixSave1", "MixSave", false, false},
    {"MainSave1", "MainSave", false, false},
    {"N1", nullptr, false, false},
    {"LapReadKey1", "ReadLapbyKey", true, true},
    {"Autoscroll", "AutoScroll", true, true},
    {"Voice1", "Voice", true, true},
    {"N2", nullptr, false, false},
    {"key1", "key", true, false},
    {"About1", "About", false, false},
    {"N3", nullptr, false, false},
    {"Display1", "Display", true, false},
    {"MilePerHour1", "MilePerHour", true, false},
    {"Plus1Lap1", "Plus1Lap", false, false},
};

// Runs a handler when a box changes, whoever changed it: the user, a rule or the settings.
void onToggled(QCheckBox* box, QObject* context, std::function<void()> handler) {
    QObject::connect(box, &QCheckBox::toggled, context,
                     [handler = std::move(handler)] { handler(); });
}
} // namespace

void TKelvoS::buildPopupMenu() {
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName("PopupMenu2");
    for (const MenuItemSpec& spec : kMenuItems) {
        QAction* item = spec.caption ? PopupMenu2->addAction(QString::fromLatin1(spec.caption))
                                     : PopupMenu2->addSeparator();
        item->setObjectName(QString::fromLatin1(spec.name));
        item->setCheckable(spec.checkable);
        item->setChecked(spec.checked);
    }
    // The menu drops down the moment the button is pressed, not when it is released.
    auto* menuButton = findChild<TCuteButton*>("CuteButton44");
    connect(menuButton, &QPushButton::pressed, this, [this, menuButton] {
        menuButton->setDown(false);
        PopupMenu2->popup(menuButton->mapToGlobal(QPoint(0, menuButton->height())));
    });
}

QAction* TKelvoS::menuItem(const char* name) const {
    return PopupMenu2->findChild<QAction*>(QString::fromLatin1(name));
}

void TKelvoS::connectOptionHandlers() {
    // Menu items act on triggered only: their check marks are also set from code.
    connect(menuItem("MilePerHour1"), &QAction::triggered, this, &TKelvoS::MilePerHour1Click);
    connect(menuItem("Plus1Lap1"), &QAction::triggered, this, &TKelvoS::Plus1Lap1Click);
    connect(menuItem("key1"), &QAction::triggered, this, &TKelvoS::key1Click);
    connect(menuItem("LapReadKey1"), &QAction::triggered, this, &TKelvoS::LapReadKey1Click);
    connect(menuItem("Autoscroll"), &QAction::triggered, this, &TKelvoS::AutoscrollClick);
    connect(menuItem("Voice1"), &QAction::triggered, this, &TKelvoS::Voice1Click);
    connect(findChild<QPushButton*>("CuteButton41"), &QPushButton::clicked, menuItem("key1"),
            &QAction::trigger);
    connect(Real, &QPushButton::clicked, this, &TKelvoS::RealClick);

    onToggled(CheckBox5, this, [this] { CheckBox5Click(); });
    onToggled(CheckBox6, this, [this] { CheckBox6Click(); });
    onToggled(CheckBox7, this, [this] { CheckBox7Click(); });
    onToggled(CheckBox9, this, [this] { CheckBox9Click(); });
    onToggled(CheckBox10, this, [this] { CheckBox10Click(); });
    onToggled(CheckBox11, this, [this] { CheckBox11Click(); });
    onToggled(CheckBox12, this, [this] {
        menuItem("Autoscroll")->setChecked(CheckBox12->isChecked());
        DoCSFocus();
    });

    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& text) { Name1 = text; });
    connect(Edit2, &QLineEdit::textChanged, this, [this](const QString& text) { Name2 = text; });
    connect(Edit3, &QLineEdit::textChanged, this, [this](const QString& text) { Name3 = text; });
    connect(findChild<QPushButton*>("CuteButton38"), &QPushButton::clicked, this, [this] {
        Edit1->setText("1");
        Edit2->setText("2");
        Edit3->setText("3");
        DoCSFocus();
    });

    connect(ComboBox1, &QComboBox::activated, this, [this](int index) {
        selectedCourse_ = index;
        ComboBox1Change();
    });
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, [this] {
        selectedCourse_ = -1; // typing leaves no entry selected
        ComboBox1Change();
    });
    ComboBox1->lineEdit()->installEventFilter(this); // Enter adds the typed length
    connect(ComboBox1, &TDropDownBox::droppedDown, this, &TKelvoS::ComboBox1DropDown);
}

// ---- Course and unit -----------------------------------------------------------------------

void TKelvoS::ComboBox1Change() {
    CourseLengthText = selectedCourse_ >= 0 ? ComboBox1->itemText(selectedCourse_) : QString();
    playSignal("po.wav");
    // Only a choice from the list hands the keyboard back to the run buttons; while a length
    // is being typed the box keeps the focus, or it could never be typed at all.
    if (selectedCourse_ >= 0)
        DoCSFocus();
}

void TKelvoS::ComboBox1KeyPress() {
    const QString typed = ComboBox1->currentText();
    QStringList entries;
    for (int i = 0; i < ComboBox1->count(); ++i)
        entries << ComboBox1->itemText(i);
    if (isNewCourseEntry(typed, entries))
        ComboBox1->addItem(typed);
}

void TKelvoS::ComboBox1DropDown() {
    playSignal("pa.wav");
}

void TKelvoS::MilePerHour1Click() {
    // The menu has already toggled the check mark by the time this runs.
    milePerHour_ = menuItem("MilePerHour1")->isChecked();
    writeHeaderLines();
    applyUnitTexts();
    DoCSFocus();
}

void TKelvoS::applyUnitTexts() {
    Label7->setToolTip(milePerHour_ ? "Lap M/h" : "Lap Km/h");
    Label16->setToolTip(milePerHour_ ? "Average M/h" : "Average Km/h");
}

// ---- Menu commands on the run --------------------------------------------------------------

// One more lap of competitor 1, ending at the watch's present total, then the run stops. The
// busy flag keeps the lap's read-outs from starting.
void TKelvoS::Plus1Lap1Click() {
    enable({LAP, Lapread, Clipread}, true);
    Running = true;
    announcementBusy_ = true;
    LapClick();
    StopClick();
}

void TKelvoS::RealClick() {
    if (!CheckBox6->isChecked() && !CheckBox7->isChecked() && !CheckBox10->isChecked())
        return;
    if (announcementBusy_.exchange(true))
        return; // a read-out is still running
    // The spoken and clipboard read-outs of the running total are not part of this program yet:
    // nothing holds the flag, so it is released at once.
    announcementBusy_ = false;
}

void TKelvoS::key1Click() {
    // The item's check mark has just been toggled (by the menu or the "Key" button).
    const bool accelerators = menuItem("key1")->isChecked();
    LAP->setText(accelerators ? "LAP(&1)" : "LAP1");
    LAP2->setText(accelerators ? "LAP(&2)" : "LAP2");
    LAP3->setText(accelerators ? "LAP(&3)" : "LAP3");
    DoCSFocus();
}

void TKelvoS::LapReadKey1Click() {
    // The menu toggled the mark: checked now means the accelerators are wanted.
    const bool accelerators = menuItem("LapReadKey1")->isChecked();
    Lapread->setText(accelerators ? "LAP READ(&L)" : "LAP READ");
    Clipread->setText(accelerators ? "ClipBoard Read(&P)" : "ClipBoard Read");
    Real->setText(accelerators ? "Real(&R)" : "Real");
    DoCSFocus();
}

void TKelvoS::AutoscrollClick() {
    CheckBox12->setChecked(menuItem("Autoscroll")->isChecked());
}

void TKelvoS::Voice1Click() {
    CheckBox6->setChecked(menuItem("Voice1")->isChecked());
}

// ---- Check box rules -----------------------------------------------------------------------
// Setting a box from code runs its own rule too, so the rules cascade until they agree.

void TKelvoS::CheckBox5Click() {
    if (CheckBox5->isChecked())
        unregisterHotkey(HkStop);
    else
        registerHotkey(HkStop);
    DoCSFocus();
}

void TKelvoS::CheckBox6Click() {
    menuItem("Voice1")->setChecked(CheckBox6->isChecked());
    if (CheckBox9->isChecked() && !CheckBox6->isChecked())
        CheckBox9->setChecked(false);
    if (CheckBox6->isChecked()) {
        CheckBox7->setChecked(false);
        CheckBox10->setChecked(false);
        CheckBox11->setChecked(false);
    }
    DoCSFocus();
}

void TKelvoS::CheckBox7Click() {
    applyClipboardBoxRule(CheckBox7, CheckBox10);
}

void TKelvoS::CheckBox10Click() {
    applyClipboardBoxRule(CheckBox10, CheckBox7);
}

// "ClipE" and "J" exclude each other and the voice read-out; the clipboard "Re" needs one of
// them.
void TKelvoS::applyClipboardBoxRule(QCheckBox* changed, QCheckBox* other) {
    if (changed->isChecked() && other->isChecked())
        other->setChecked(false);
    if (!changed->isChecked() && !other->isChecked())
        CheckBox11->setChecked(false);
    if (changed->isChecked()) {
        CheckBox6->setChecked(false);
        CheckBox9->setChecked(false);
    }
    DoCSFocus();
}

void TKelvoS::CheckBox9Click() {
    if (!CheckBox6->isChecked())
        CheckBox9->setChecked(false);
    DoCSFocus();
}

void TKelvoS::CheckBox11Click() {
    if (!CheckBox7->isChecked() && !CheckBox10->isChecked())
        CheckBox11->setChecked(false);
    DoCSFocus();
}
