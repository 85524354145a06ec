#pragma once

#include <QLineEdit>

// The editor of one hotkey combination: shows it in words ("Ctrl+Alt+A", "Num 1",
// "None") and takes a new one from the next key pressed with its modifiers. Shift alone
// is not a modifier of its own here: Shift+A is taken as A. Backspace or Delete without
// modifiers clear the combination; Tab moves the focus on as usual.
class THotKey : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(quint16 shortcut READ shortcut WRITE setShortcut NOTIFY shortcutChanged)

public:
    explicit THotKey(QWidget* parent = nullptr);

    // The combination as a shortcut word (virtual-key code plus modifier flags), 0 for none.
    quint16 shortcut() const { return shortcut_; }
    void setShortcut(quint16 word);

signals:
    void shortcutChanged(quint16 word);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void showModifiersHeld(int key, Qt::KeyboardModifiers modifiers);

    quint16 shortcut_ = 0;
};
