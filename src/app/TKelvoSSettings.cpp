// What the main window keeps between sessions: read partly while the window is created and
// partly when it is first shown, and written when it closes.
#include "HotkeyComponent.h"
#include "SignalQueue.h"
#include "TDropDownBox.h"
#include "TKelvoS.h"
#include "hotkeyedit.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

using namespace kelvos;

namespace {
// Name, section, key and default of every setting, in the file's order.
const TRegItem kSettingItems[] = {
    {"HotKey1Component", "Form\\HotKey1", "prop", ""},
    {"HotKey2Component", "Form\\HotKey2", "prop", ""},
    {"HotKey3Component", "Form\\HotKey3", "prop", ""},
    {"HotKey4Component", "Form\\HotKey4", "prop", ""},
    {"HotKey5Component", "Form\\HotKey5", "prop", ""},
    {"HotKey6Component", "Form\\HotKey6", "prop", ""},
    {"HotKey7Component", "Form\\HotKey7", "prop", ""},
    {"Edit1Text", "AsString", "Edit1Text", ""},
    {"Edit2Text", "AsString", "Edit2Text", ""},
    {"Edit3Text", "AsString", "Edit3Text", ""},
    {"CheckBox1Checked", "Form\\Chart1\\CheckBox1", "Checked", "False"},
    {"CheckBox5Checked", "Form\\CheckBox5", "Checked", "False"},
    {"CheckBox6Checked", "Form\\CheckBox6", "Checked", "True"},
    {"CheckBox7Checked", "Form\\CheckBox7", "Checked", "False"},
    {"CheckBox8Checked", "Form\\CheckBox8", "Checked", "False"},
    {"CheckBox9Checked", "Form\\CheckBox9", "Checked", "False"},
    {"CheckBox10Checked", "Form\\CheckBox10", "Checked", "False"},
    {"CheckBox11Checked", "Form\\CheckBox11", "Checked", "False"},
    {"CheckBox12Checked", "Form\\CheckBox12", "Checked", "True"},
    {"DCheck1Checked", "Form\\DCheck1", "Checked", "False"},
    {"ComboBox1ItemIndex", "Form\\ComboBox1ItemIndex", "Integer", "0"},
    {"PipopaChecked", "Form\\Pipopa", "Checked", "False"},
    {"MilePerHour1Checked", "Form\\MilePerHour1", "Checked", "False"},
};

// The boxes restored when the window is shown, in the order in which their rules cascade.
const char* const kRestoredBoxes[] = {"CheckBox5",  "CheckBox1", "CheckBox6",  "CheckBox7",
                                      "CheckBox8",  "CheckBox9", "CheckBox10", "CheckBox11",
                                      "CheckBox12", "DCheck1"};
// The boxes saved at close, in the file's order.
const char* const kSavedBoxes[] = {"CheckBox1",  "CheckBox5", "CheckBox6",  "CheckBox7",
                                   "CheckBox8",  "CheckBox9", "CheckBox10", "CheckBox11",
                                   "CheckBox12", "DCheck1"};

QString itemOfBox(const char* box) {
    return QString::fromLatin1(box) + "Checked";
}
} // namespace

void TKelvoS::prepareSettingsStore() {
    settingsMessages_ = std::make_unique<SettingsMessages>();
    RegManager1.setErrorReporter(settingsMessages_.get());
    RegManager1.setIniFileName(services_.settingsFile);
    for (const TRegItem& item : kSettingItems)
        RegManager1.RegItems().add(item);
}

// Hotkeys and names are needed before the hotkeys are registered; a missing key keeps the
// editor's own combination.
void TKelvoS::loadCreationSettings() {
    for (int i = HkStart; i <= HkLap3; ++i) {
        const auto component =
            RegManager1.Item(QString("HotKey%1Component").arg(i)).ReadComponent();
        if (const auto word = component ? shortcutOfHotkeyComponent(*component) : std::nullopt)
            hotkeyEditors_[i]->setShortcut(*word);
    }
    Edit1->setText(RegManager1.Item("Edit1Text").GetAsString());
    Edit2->setText(RegManager1.Item("Edit2Text").GetAsString());
    Edit3->setText(RegManager1.Item("Edit3Text").GetAsString());
    startupJingle_ = RegManager1.Item("PipopaChecked").GetAsBoolean();
}

void TKelvoS::restoreShownSettings() {
    for (const char* name : kRestoredBoxes)
        findChild<QCheckBox*>(name)->setChecked(RegManager1.Item(itemOfBox(name)).GetAsBoolean());
    menuItem("MilePerHour1")->setChecked(RegManager1.Item("MilePerHour1Checked").GetAsBoolean());
    milePerHour_ = menuItem("MilePerHour1")->isChecked();

    const int course = RegManager1.Item("ComboBox1ItemIndex").GetAsInteger();
    selectedCourse_ = course >= 0 && course < ComboBox1->count() ? course : -1;
    ComboBox1->setCurrentIndex(selectedCourse_);
    CourseLengthText = selectedCourse_ >= 0 ? ComboBox1->itemText(selectedCourse_) : QString();

    menuItem("Autoscroll")->setChecked(CheckBox12->isChecked());
    menuItem("Voice1")->setChecked(CheckBox6->isChecked());
    if (CheckBox7->isChecked() && CheckBox10->isChecked())
        CheckBox10->setChecked(false);
    findChild<QScrollBar*>("ScrollBar2")->setValue(23);
    findChild<QScrollBar*>("ScrollBar3")->setValue(350);
    findChild<QScrollBar*>("ScrollBar1")->setValue(500);
    showSettingsProblems();
}

// Writes every setting; stops at the first one the store refuses, since the rest would fail
// the same way. Returns whether everything was stored.
bool TKelvoS::saveSettings() {
    std::vector<std::function<bool()>> writes;
    for (int i = HkStart; i <= HkLap3; ++i) {
        writes.push_back([this, i] {
            const QString name = QString("HotKey%1").arg(i);
            const THotKey* editor = hotkeyEditors_[i];
            return RegManager1.Item(name + "Component")
                .WriteComponent(
                    hotkeyEditorComponent(name, editor->shortcut(), editor->geometry()));
        });
    }
    QLineEdit* const edits[] = {Edit1, Edit2, Edit3};
    for (int k = 0; k < 3; ++k) {
        writes.push_back([this, k, edit = edits[k]] {
            return RegManager1.Item(QString("Edit%1Text").arg(k + 1)).SetAsString(edit->text());
        });
    }
    for (const char* name : kSavedBoxes) {
        writes.push_back([this, name] {
            return RegManager1.Item(itemOfBox(name))
                .SetAsBoolean(findChild<QCheckBox*>(name)->isChecked());
        });
    }
    writes.push_back(
        [this] { return RegManager1.Item("ComboBox1ItemIndex").SetAsInteger(selectedCourse_); });
    // The jingle plays at the next start only when "Voice" was on at this close.
    writes.push_back(
        [this] { return RegManager1.Item("PipopaChecked").SetAsBoolean(CheckBox6->isChecked()); });
    writes.push_back([this] {
        return RegManager1.Item("MilePerHour1Checked")
            .SetAsBoolean(menuItem("MilePerHour1")->isChecked());
    });
    return std::all_of(writes.begin(), writes.end(), [](const auto& write) { return write(); });
}

void TKelvoS::showSettingsProblems() {
    const QStringList problems = settingsMessages_->take();
    if (!problems.isEmpty())
        reportProblem(problems.join('\n'));
}

// Closing always succeeds: an operator must be able to quit even when the settings cannot be
// written (a full disk, a read-only folder). Then they are told what was not kept.
void TKelvoS::closeEvent(QCloseEvent* event) {
    if (Running)
        StopClick(); // a run still going is stopped, so its laps are written to the Mix file
    if (!saveSettings()) {
        QMessageBox::warning(this, "KelvoS",
                             "The settings could not be saved:\n" +
                                 settingsMessages_->take().join('\n') +
                                 "\n\nThe results in the grids are not affected.");
    }
    for (int i = HkStart; i <= HkLap3; ++i)
        unregisterHotkey(i);
    Timer1->stop();
    if (voiceOn()) {
        for (const char* clip : {"po.wav", "po.wav", "pa.wav"})
            signals_->enqueue(clip);
    }
    signals_->waitUntilIdle();
    event->accept();
}
