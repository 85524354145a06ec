#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class TShineSpeedButton;

// The About window: the program's name and version, credits, and two links that the desktop
// opens (the project page and the contact address). One window at a time, held by an
// application-wide reference that empties when the window is closed; the next use makes a new
// one.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kProjectPage = "https://kelvos.example.org/";
    static constexpr const char* kContactAddress = "kelvos@example.org";

    // The window that exists, or null.
    static TForm3* current();
    // Creates the window, hidden, if none exists.
    static TForm3* ensureExists();

    QLabel* Label1 = nullptr; // name, version and credits
    QLabel* Label2 = nullptr; // the project page
    QLabel* Label3 = nullptr; // the contact address
    TShineSpeedButton* ShineSpeedButton1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TForm3();
    void Label2Click();
    void Label3Click();

    static QPointer<TForm3> instance_;
};
