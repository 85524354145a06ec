#include "MainWindowLayout.h"

#include "FormScaler.h"
#include "GridSetup.h"
#include "TAppHintN.h"
#include "TChart.h"
#include "TCuteButton.h"
#include "TDropDownBox.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"
#include "hotkeyedit.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>
#include <array>

namespace kelvos {

namespace {
using K = ControlKind;
using P = PanelId;

// The window is designed at 1020 x 763 (and shown at a scale of that): the timing figures and run
// buttons on the left, the result grids on the right, the lap chart across the lower half, and
// below it the hotkeys and the chart's own controls. Controls on a panel give their place within
// that panel.
const std::array kControls{
    // Options along the top.
    ControlSpec{"ComboBox1", P::Course, K::ComboBox, "", "meter choice or write", {4, 4, 96, 22}},
    ControlSpec{"CuteButton44", P::Options, K::Button, "S D", "Menu(SaveDialog)", {104, 4, 36, 22}},
    ControlSpec{"CheckBox6",
                P::Options,
                K::CheckBox,
                "Voice",
                "Lap Toal Voice OnOff",
                {146, 4, 58, 22},
                true,
                true},
    ControlSpec{"CheckBox9", P::Options, K::CheckBox, "Re", "Repeat Voice", {206, 4, 40, 22}},
    ControlSpec{"CheckBox7",
                P::Options,
                K::CheckBox,
                "ClipE",
                "Clipboard Lap Total OnOff",
                {250, 4, 56, 22}},
    ControlSpec{
        "CheckBox10", P::Options, K::CheckBox, "J", "Clipboard Lap Total OnOff", {308, 4, 34, 22}},
    ControlSpec{"CheckBox11", P::Options, K::CheckBox, "Re", "Repeat Clipboard", {344, 4, 40, 22}},
    ControlSpec{"CheckBox8", P::Options, K::CheckBox, "T", "Title change", {388, 4, 34, 22}},
    ControlSpec{"DCheck1", P::Options, K::CheckBox, "D", "Display", {424, 4, 34, 22}},
    ControlSpec{"CheckBox12",
                P::Options,
                K::CheckBox,
                "AutoScroll",
                "20line scroll ",
                {462, 4, 86, 22},
                true,
                true},
    ControlSpec{"CheckBox3", P::Grids, K::CheckBox, "DD", "MixGrid D&D On", {550, 4, 44, 22}},
    ControlSpec{"Edit1", P::Laps, K::LineEdit, "1", "Lap1 Name", {600, 4, 70, 22}},
    ControlSpec{"Edit2", P::Laps, K::LineEdit, "2", "Lap2 Name", {674, 4, 70, 22}},
    ControlSpec{"Edit3", P::Laps, K::LineEdit, "3", "Lap3 Name", {748, 4, 70, 22}},
    ControlSpec{"CuteButton38", P::Laps, K::Button, "undo", "Name 1 2 3", {822, 4, 46, 22}},
    ControlSpec{
        "CuteButton41", P::Options, K::FlatButton, "Key", "MainKey123 OnOff", {872, 4, 44, 22}},
    ControlSpec{"CuteButton40", P::Options, K::FlatButton, "Info", "Infomation", {920, 4, 44, 22}},

    // Timing figures.
    ControlSpec{"Label1", P::Run, K::Label, "00:00:00:000 ", "Total", {4, 30, 248, 40}},
    ControlSpec{"Label3", P::Run, K::Label, "00:00:00:000", "Lap real", {4, 72, 248, 32}},
    ControlSpec{"Label2", P::Run, K::Label, "00:00:00:000", "Lap", {4, 106, 248, 32}},
    ControlSpec{"Label13", P::Run, K::Label, "0", "+ - milli sec", {4, 140, 124, 24}},
    ControlSpec{"Label11", P::Run, K::Label, "0", "Lap count", {130, 140, 122, 24}},
    ControlSpec{"Label9", P::Run, K::Label, "00:00:00:000", "Fastest Lap", {4, 166, 124, 22}},
    ControlSpec{"Label12", P::Run, K::Label, "0", "Fastest Lap count", {130, 166, 122, 22}},
    ControlSpec{"Label14", P::Run, K::Label, "00:00:00:000", "Average Lap", {4, 190, 124, 22}},
    ControlSpec{"Label7", P::Run, K::Label, "0", "Lap Km/h", {130, 190, 122, 22}},
    ControlSpec{"Label25", P::Run, K::Label, "Behind", "Diffrence1-2-3", {4, 214, 124, 22}},
    ControlSpec{"Label16", P::Run, K::Label, "0", "Average Km/h", {130, 214, 122, 22}},
    ControlSpec{"Label23", P::Laps, K::Label, "Diffrence to 2 ", "Diffrence1-2", {4, 238, 124, 22}},
    ControlSpec{
        "Label24", P::Laps, K::Label, "Diffrence to 3 ", "Diffrence1-3", {130, 238, 122, 22}},

    // Run and lap commands.
    ControlSpec{"start", P::Run, K::Button, "start", "", {4, 262, 60, 28}},
    ControlSpec{"stop", P::Run, K::Button, "stop", "", {66, 262, 60, 28}},
    ControlSpec{"CuteButton1", P::Run, K::Button, "restart", "", {128, 262, 62, 28}},
    ControlSpec{"CuteButton2", P::Run, K::Button, "reset", "", {192, 262, 60, 28}},
    ControlSpec{"LAP", P::Laps, K::Button, "LAP 1", "LAP1(& goal)", {4, 292, 82, 30}},
    ControlSpec{"LAP2", P::Laps, K::Button, "LAP 2", "", {88, 292, 82, 30}},
    ControlSpec{"LAP3", P::Laps, K::Button, "LAP 3", "", {172, 292, 80, 30}},
    ControlSpec{"Lapread",
                P::Announcements,
                K::FlatButton,
                "READ LAP(&L)",
                "Voice Repeat",
                {4, 324, 88, 24}},
    ControlSpec{"Clipread",
                P::Announcements,
                K::FlatButton,
                "Read ClipBoard(&P)",
                "ClipBoard Repeat",
                {94, 324, 108, 24}},
    ControlSpec{"Real",
                P::Announcements,
                K::FlatButton,
                "Real(&R)",
                "Real Total & Lap",
                {204, 324, 48, 24}},
    // The animation's pause: short to the left, long to the right.
    ControlSpec{"LabelHigh", P::Chart, K::Label, "High", "", {4, 349, 30, 16}},
    ControlSpec{"ScrollBar1", P::Chart, K::ScrollBar, "", "Animate Speed", {36, 350, 182, 13}},
    ControlSpec{"LabelLow", P::Chart, K::Label, "Low", "", {222, 349, 30, 16}},

    // Result grids and their commands.
    ControlSpec{
        "StringGridEx1", P::Grids, K::MainGrid, "", "Main Number data grid", {256, 30, 760, 186}},
    ControlSpec{
        "CuteButton19", P::Grids, K::Button, "SaveCsv", "Main csv file save", {256, 218, 54, 22}},
    ControlSpec{
        "CuteButton20", P::Grids, K::Button, "LoadCsv", "Main csv file load", {312, 218, 54, 22}},
    ControlSpec{"SAVE", P::Grids, K::Button, "Mix save", "Mix Grid csv save", {368, 218, 58, 22}},
    ControlSpec{
        "CuteButton39", P::Grids, K::Button, "LoadCsv", "Mix csv file load", {428, 218, 54, 22}},
    ControlSpec{
        "CuteButton3", P::Grids, K::Button, "Copy", "Clipboard All Copy- >", {484, 218, 46, 22}},
    ControlSpec{"CuteButton35",
                P::Grids,
                K::FlatButton,
                "copylap1",
                "<-- Clipboard Lap1",
                {532, 218, 58, 22}},
    ControlSpec{"CuteButton36",
                P::Grids,
                K::FlatButton,
                "copylap2",
                "<-- Clipboard Lap2",
                {592, 218, 58, 22}},
    ControlSpec{"CuteButton37",
                P::Grids,
                K::FlatButton,
                "copylap3",
                "<-- Clipboard Lap3",
                {652, 218, 58, 22}},
    ControlSpec{"CuteButton4", P::Grids, K::Button, "Paste", "MainGrid Paste", {712, 218, 48, 22}},
    ControlSpec{"CuteButton32", P::Grids, K::Button, "Sort", "Laptime Sort", {762, 218, 44, 22}},
    ControlSpec{"CuteButton33", P::Grids, K::Button, "undo", "Total Sort", {808, 218, 44, 22}},
    ControlSpec{"CuteButton34", P::Grids, K::Button, "Num", "Number Sort -->", {854, 218, 44, 22}},
    ControlSpec{"CuteButton42", P::Grids, K::FlatButton, "Show MixGrid", "", {900, 218, 90, 22}},
    ControlSpec{"Panel1", P::Grids, K::Panel, "Total", "", {256, 242, 760, 120}},
    ControlSpec{"StrSortGrid1",
                P::Grids,
                K::MixGrid,
                "",
                "MixGrid",
                {0, 0, 760, 120},
                true,
                false,
                "Panel1"},

    // The lap chart; the panel under it is where it docks back.
    ControlSpec{"Panel2", P::Chart, K::Panel, "Docking Chart", "", {3, 365, 998, 316}},
    ControlSpec{"Panel2Caption",
                P::Chart,
                K::Label,
                "Docking Chart",
                "",
                {0, 0, 998, 316},
                true,
                false,
                "Panel2"},
    ControlSpec{"Chart1",
                P::Chart,
                K::Chart,
                "",
                "Drag LAP milli & Average milli",
                {0, 0, 998, 316},
                true,
                false,
                "Panel2"},
    ControlSpec{"CuteButton45",
                P::Chart,
                K::Button,
                "SetFocus",
                "Reset Position",
                {846, 4, 70, 22},
                true,
                false,
                "Chart1"},
    ControlSpec{"Chbutton1",
                P::Chart,
                K::Button,
                "Reset_Pos",
                "Reset Position",
                {920, 4, 72, 22},
                true,
                false,
                "Chart1"},

    // Under the chart: its depth and angle bars above the "3D" switch, the label of the save
    // buttons above them.
    ControlSpec{"Label2D", P::Chart, K::Label, "2D", "", {560, 683, 20, 16}},
    ControlSpec{"ScrollBar2", P::Chart, K::ScrollBar, "", "3D", {582, 684, 120, 13}},
    ControlSpec{"Label3D", P::Chart, K::Label, "3D", "", {706, 683, 20, 16}},
    ControlSpec{"LabelRotation", P::Chart, K::Label, "Rotation", "", {736, 683, 54, 16}},
    ControlSpec{"ScrollBar3", P::Chart, K::ScrollBar, "", "3DChart Angle", {792, 684, 120, 13}},
    ControlSpec{"LabelSaveChart", P::Chart, K::Label, "SaveChart", "", {948, 683, 64, 16}},

    // Hotkeys 1 to 4, the all-seven buttons and the chart's switches.
    ControlSpec{"Label19", P::Hotkeys, K::Label, "start", "", {4, 700, 36, 28}},
    ControlSpec{"HotKey1", P::Hotkeys, K::HotKeyEditor, "", "start HotKey", {42, 701, 60, 26}},
    ControlSpec{"CuteButton5", P::Hotkeys, K::Button, "OK", "", {104, 701, 26, 26}},
    ControlSpec{"CuteButton12", P::Hotkeys, K::Button, "Del", "", {132, 701, 28, 26}},
    ControlSpec{"Label8", P::Hotkeys, K::Label, "stop", "", {164, 700, 36, 28}},
    ControlSpec{"HotKey2", P::Hotkeys, K::HotKeyEditor, "", "stop HotKey", {202, 701, 60, 26}},
    ControlSpec{"CuteButton6", P::Hotkeys, K::Button, "OK", "", {264, 701, 26, 26}},
    ControlSpec{"CuteButton13", P::Hotkeys, K::Button, "Del", "", {292, 701, 28, 26}},
    ControlSpec{"Label18", P::Hotkeys, K::Label, "restart", "", {324, 700, 36, 28}},
    ControlSpec{"HotKey3", P::Hotkeys, K::HotKeyEditor, "", "restart HotKey", {362, 701, 60, 26}},
    ControlSpec{"CuteButton7", P::Hotkeys, K::Button, "OK", "", {424, 701, 26, 26}},
    ControlSpec{"CuteButton14", P::Hotkeys, K::Button, "Del", "", {452, 701, 28, 26}},
    ControlSpec{"Label17", P::Hotkeys, K::Label, "reset", "", {484, 700, 36, 28}},
    ControlSpec{"HotKey4", P::Hotkeys, K::HotKeyEditor, "", "reset HotKey", {522, 701, 60, 26}},
    ControlSpec{"CuteButton8", P::Hotkeys, K::Button, "OK", "", {584, 701, 26, 26}},
    ControlSpec{"CuteButton15", P::Hotkeys, K::Button, "Del", "", {612, 701, 28, 26}},
    ControlSpec{"CuteButton30",
                P::Hotkeys,
                K::Button,
                "OK",
                "OK start stop restart reset key ",
                {646, 701, 28, 26}},
    ControlSpec{"CuteButton31",
                P::Hotkeys,
                K::Button,
                "Del",
                "delete start stop restart reset key ",
                {676, 701, 30, 26}},
    ControlSpec{"CheckBox5",
                P::Hotkeys,
                K::CheckBox,
                "stopkeyoff",
                "Stop Stop-Hotkey off",
                {710, 701, 86, 26}},
    ControlSpec{"CheckBox1", P::Chart, K::CheckBox, "3D", "3D Chart", {798, 701, 40, 26}},
    ControlSpec{"CheckBox4", P::Chart, K::CheckBox, "Mark", "Marks", {840, 701, 50, 26}},
    ControlSpec{"CheckBox2", P::Chart, K::CheckBox, "DD", "Chart D&D On", {892, 701, 42, 26}},
    ControlSpec{
        "CuteButton21", P::Chart, K::Button, "WMF", "Chart Wmf file save", {936, 701, 40, 26}},
    ControlSpec{
        "CuteButton23", P::Chart, K::Button, "BMP", "Chart Bmp file save", {978, 701, 40, 26}},

    // Hotkeys 5 to 7 and the chart's commands.
    ControlSpec{"Label20", P::Hotkeys, K::Label, "Lap1", "", {4, 732, 36, 28}},
    ControlSpec{"HotKey5", P::Hotkeys, K::HotKeyEditor, "", "Lap1 HotKey", {42, 733, 60, 26}},
    ControlSpec{"CuteButton9", P::Hotkeys, K::Button, "OK", "", {104, 733, 26, 26}},
    ControlSpec{"CuteButton16", P::Hotkeys, K::Button, "Del", "", {132, 733, 28, 26}},
    ControlSpec{"Label21", P::Hotkeys, K::Label, "Lap2", "", {164, 732, 36, 28}},
    ControlSpec{"HotKey6", P::Hotkeys, K::HotKeyEditor, "", "Lap2 HotKey", {202, 733, 60, 26}},
    ControlSpec{"CuteButton10", P::Hotkeys, K::Button, "OK", "", {264, 733, 26, 26}},
    ControlSpec{"CuteButton17", P::Hotkeys, K::Button, "Del", "", {292, 733, 28, 26}},
    ControlSpec{"Label22", P::Hotkeys, K::Label, "Lap3", "", {324, 732, 36, 28}},
    ControlSpec{"HotKey7", P::Hotkeys, K::HotKeyEditor, "", "Lap3 HotKey", {362, 733, 60, 26}},
    ControlSpec{"CuteButton11", P::Hotkeys, K::Button, "OK", "", {424, 733, 26, 26}},
    ControlSpec{"CuteButton18", P::Hotkeys, K::Button, "Del", "", {452, 733, 28, 26}},
    ControlSpec{
        "CuteButton22", P::Chart, K::Button, "UPdate", "Fast representation", {486, 733, 52, 26}},
    ControlSpec{"CuteButton24",
                P::Chart,
                K::Button,
                "Animate",
                "Animate representation",
                {540, 733, 56, 26}},
    ControlSpec{
        "CuteButton25", P::Chart, K::Button, "Push", "Push representation", {598, 733, 44, 26}},
    ControlSpec{"CuteButton29", P::Chart, K::Button, "Clear", "Clear Chart", {644, 733, 44, 26}},
    ControlSpec{
        "CuteButton26", P::Chart, K::Button, "zoom in", "Chart Zoom in", {690, 733, 56, 26}},
    ControlSpec{
        "CuteButton27", P::Chart, K::Button, "zoom out", "Chart Zoom out", {748, 733, 60, 26}},
    ControlSpec{
        "CuteButton28", P::Chart, K::Button, "reset", "Chart Zoom reset", {810, 733, 44, 26}},
    ControlSpec{
        "CuteButton43", P::Chart, K::FlatButton, "Show Chart", "Show Chart", {856, 733, 72, 26}},
    ControlSpec{"Label26", P::Chart, K::Label, "0", "Lap count", {932, 732, 84, 28}},
};

// The command buttons' faces: most share one light face; a few groups have faces of their own,
// and the copy and read-out buttons are dark with light captions.
struct ButtonFace {
    QColor face;
    QColor caption;
    std::initializer_list<const char*> names;
};

const QColor kCommonFace(226, 234, 221);
const QColor kLightCaption(255, 255, 255);

const ButtonFace kButtonFaces[] = {
    {QColor(221, 225, 187),
     Qt::black,
     {"stop", "LAP", "CuteButton9", "CuteButton10", "CuteButton11"}},
    {QColor(223, 224, 211),
     Qt::black,
     {"CuteButton3", "CuteButton4", "CuteButton32", "CuteButton33", "CuteButton34",
      "CuteButton44"}},
    {QColor(216, 241, 194),
     Qt::black,
     {"CuteButton12", "CuteButton13", "CuteButton14", "CuteButton15", "CuteButton16",
      "CuteButton17", "CuteButton18", "CuteButton31"}},
    {QColor(77, 86, 176), kLightCaption, {"CuteButton35", "CuteButton36", "CuteButton37"}},
    {QColor(165, 109, 88), kLightCaption, {"Lapread"}},
    {QColor(159, 54, 49), kLightCaption, {"Clipread"}},
    {QColor(204, 102, 0), kLightCaption, {"Real"}},
};

// The file and chart buttons have bevels two pixels wide; the others one.
const std::initializer_list<const char*> kWideBevelButtons = {
    "CuteButton19", "CuteButton20", "SAVE",         "CuteButton39", "CuteButton21", "CuteButton22",
    "CuteButton23", "CuteButton24", "CuteButton25", "CuteButton26", "CuteButton27", "CuteButton28",
    "CuteButton29", "CuteButton43", "CuteButton45", "Chbutton1",
};

bool named(const char* name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [name](const char* candidate) { return qstrcmp(candidate, name) == 0; });
}

void applyButtonLook(TCuteButton& button, const char* name) {
    QColor face = kCommonFace;
    QColor caption = Qt::black;
    for (const ButtonFace& group : kButtonFaces) {
        if (named(name, group.names)) {
            face = group.face;
            caption = group.caption;
        }
    }
    button.setColor(face);
    QPalette look = button.palette();
    look.setColor(QPalette::Active, QPalette::ButtonText, caption);
    look.setColor(QPalette::Inactive, QPalette::ButtonText, caption);
    button.setPalette(look);
    button.setBevelWidth(named(name, kWideBevelButtons) ? 2 : 1);
}

QWidget* createControl(const ControlSpec& spec, QWidget* parent) {
    const QString caption = QString::fromUtf8(spec.caption);
    switch (spec.kind) {
    case K::Label:
        return new QLabel(caption, parent);
    case K::Button:
    case K::FlatButton: {
        auto* button = new TCuteButton(parent);
        button->setText(caption);
        button->setFlat(spec.kind == K::FlatButton);
        applyButtonLook(*button, spec.name);
        return button;
    }
    case K::CheckBox: {
        auto* box = new QCheckBox(caption, parent);
        box->setChecked(spec.checked);
        return box;
    }
    case K::LineEdit:
        return new QLineEdit(caption, parent);
    case K::ComboBox: {
        auto* combo = new TDropDownBox(parent);
        combo->makeTypable();
        combo->setMaxVisibleItems(35);
        return combo;
    }
    case K::HotKeyEditor:
        return new THotKey(parent);
    case K::MainGrid: {
        auto* grid = new TStringGridEx(parent);
        configureMainGrid(*grid);
        return grid;
    }
    case K::MixGrid: {
        auto* grid = new TStrSortGrid(parent);
        configureMixGrid(*grid);
        return grid;
    }
    case K::Chart:
        return new TChart(parent);
    case K::ScrollBar:
        return new QScrollBar(Qt::Horizontal, parent);
    case K::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameShape(QFrame::Panel);
        panel->setAccessibleName(caption);
        return panel;
    }
    }
    return nullptr;
}
// The window's hints are navy-on-green balloons that appear after half a second.
void installHints(QWidget* form) {
    auto* hints = new TAppHintN(form);
    hints->setObjectName("AppHintN1");
    hints->setHintStyle(HintStyle::hsFukidashi);
    hints->setBrush(QColor(231, 248, 234));
    hints->setBGColor(QColor(234, 249, 239));
    hints->setPen(QPen(Qt::darkBlue));
    QFont arial("Arial");
    arial.setPixelSize(17);
    hints->setFont(arial);
    hints->setFontColor(Qt::darkBlue);
    hints->setShadowVisible(false);
    TAppHintN::setHintPause(500);
    TAppHintN::setHintHidePause(2500);
    TAppHintN::setHintShortPause(0);
}
} // namespace

std::span<const ControlSpec> mainWindowControls() {
    return kControls;
}

void buildControls(QWidget* form, FormScaler& scaler) {
    for (const ControlSpec& spec : kControls) {
        QWidget* parent = spec.parent ? form->findChild<QWidget*>(spec.parent) : form;
        Q_ASSERT(parent);
        QWidget* control = createControl(spec, parent);
        Q_ASSERT_X(control, "buildControls", spec.name);
        control->setObjectName(QString::fromLatin1(spec.name));
        control->setGeometry(spec.geometry);
        scaler.add(control, spec.geometry);
        control->setToolTip(QString::fromUtf8(spec.hint));
        control->setEnabled(spec.enabled);
    }
    installHints(form);
}

QRect designedRect(const char* name) {
    const auto* spec =
        std::find_if(kControls.begin(), kControls.end(),
                     [name](const ControlSpec& s) { return qstrcmp(s.name, name) == 0; });
    return spec == kControls.end() ? QRect() : spec->geometry;
}

QWidget* PanelControls::find(const char* name) const {
    for (const ControlSpec& spec : kControls) {
        if (qstrcmp(spec.name, name) == 0) {
            Q_ASSERT_X(spec.panel == panel_, "PanelControls", "control of another panel");
            return form_->findChild<QWidget*>(QString::fromLatin1(name));
        }
    }
    return nullptr;
}

} // namespace kelvos
