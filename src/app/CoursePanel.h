#pragma once

#include <QObject>
#include <QStringList>
#include <optional>

class TDropDownBox;

// The course length box: the lengths of the course list, a chosen one, or one being typed.
class CoursePanel : public QObject {
    Q_OBJECT
public:
    explicit CoursePanel(QWidget* form);

    void fill(const QStringList& entries);
    // The chosen entry, or none while a length is being typed (or none was ever chosen).
    int chosenIndex() const { return chosen_; }
    std::optional<QString> chosenLength() const;
    // Chooses the entry at that index; an index outside the list chooses none.
    void choose(int index);

signals:
    // The course changed, by a choice from the list (chosen) or by typing (not chosen).
    void courseChanged(bool chosen);
    void droppedDown();

private:
    void ComboBox1Change();
    void ComboBox1KeyPress();

    TDropDownBox* ComboBox1;
    int chosen_ = -1;
};
