#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <span>

class FormScaler;

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

// The groups of controls that each panel of the main window owns.
enum class PanelId { Run, Laps, Course, Grids, Hotkeys, Options, Announcements, Chart };

// One control of the main window: its name (the objectName tests and tools find it by), the
// panel that owns it, its kind, caption, hint, place and whether it starts enabled (or checked,
// for check boxes).
struct ControlSpec {
    const char* name;
    PanelId panel;
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

// A control's rectangle as designed (the window shows it at a scale), as the settings keep it.
QRect designedRect(const char* name);

// Creates every control of the table on the form, named, captioned, hinted and placed, in the
// table's order (which is also the keyboard's Tab order); the scaler lays them out at the
// window's scale.
void buildControls(QWidget* form, FormScaler& scaler);

// A panel's view of the controls the table gives it.
class PanelControls {
public:
    PanelControls(QWidget* form, PanelId panel) : form_(form), panel_(panel) {}

    // The control of that name and type; it must belong to this panel.
    template <typename T> T* take(const char* name) const {
        T* control = qobject_cast<T*>(find(name));
        Q_ASSERT_X(control, "PanelControls::take", name);
        return control;
    }

private:
    QWidget* find(const char* name) const;

    QWidget* form_;
    PanelId panel_;
};

} // namespace kelvos

#include "RunStates.h"

namespace kelvos {

// Enables or disables a panel's control as a run state asks; Keep leaves it as it is.
inline void applySwitch(QWidget* control, Switch change) {
    if (change != Switch::Keep)
        control->setEnabled(change == Switch::On);
}

} // namespace kelvos
