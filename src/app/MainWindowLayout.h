#pragma once

#include <QRect>
#include <QString>
#include <functional>
#include <span>

class QWidget;

namespace kelvos {

// The kinds of control the main window is made of.
enum class ControlKind {
    Label,
    Button,
    FlatButton,
    CheckBox,
    LineEdit,
    ComboBox,
    ScrollBar,
    HotKeyEditor,
    MainGrid,
    MixGrid,
    Chart,
    Panel,
};

// One control of the main window: its name (the objectName tests and tools find it by), kind,
// caption, hint, place and whether it starts enabled (or checked, for check boxes).
struct ControlSpec {
    const char* name;
    ControlKind kind;
    const char* caption;
    const char* hint;
    QRect geometry;
    bool enabled = true;
    bool checked = false;
    const char* parent = nullptr; // another control's name, for controls placed on a panel
};

// The whole main window, control by control.
std::span<const ControlSpec> mainWindowControls();

// Creates a control of the given kind; kinds that need a module's own widget class are made
// by the factory the window passes in.
using ControlFactory = std::function<QWidget*(const ControlSpec&, QWidget* parent)>;

// Creates every control of the table on the form, named, captioned, hinted and placed.
void buildControls(QWidget* form, const ControlFactory& specialised);

} // namespace kelvos
