#include "CoursePanel.h"

#include "CourseList.h"
#include "MainWindowLayout.h"
#include "TDropDownBox.h"

#include <QLineEdit>

using namespace kelvos;

CoursePanel::CoursePanel(QWidget* form) : QObject(form) {
    ComboBox1 = PanelControls(form, PanelId::Course).take<TDropDownBox>("ComboBox1");
    connect(ComboBox1, &QComboBox::activated, this, [this](int index) {
        chosen_ = index;
        ComboBox1Change();
    });
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, [this] {
        chosen_ = -1; // typing leaves no entry chosen
        ComboBox1Change();
    });
    connect(ComboBox1, &TDropDownBox::enterPressed, this, &CoursePanel::ComboBox1KeyPress);
    connect(ComboBox1, &TDropDownBox::droppedDown, this, &CoursePanel::droppedDown);
}

void CoursePanel::fill(const QStringList& entries) {
    ComboBox1->addItems(entries);
}

std::optional<QString> CoursePanel::chosenLength() const {
    return chosen_ >= 0 ? std::optional(ComboBox1->itemText(chosen_)) : std::nullopt;
}

void CoursePanel::choose(int index) {
    chosen_ = index >= 0 && index < ComboBox1->count() ? index : -1;
    ComboBox1->setCurrentIndex(chosen_);
}

void CoursePanel::ComboBox1Change() {
    emit courseChanged(chosen_ >= 0);
}

// Enter adds the typed length to the list, exactly as typed, unless the list has it already.
void CoursePanel::ComboBox1KeyPress() {
    const QString typed = ComboBox1->currentText();
    QStringList entries;
    for (int i = 0; i < ComboBox1->count(); ++i)
        entries << ComboBox1->itemText(i);
    if (!isNewCourseEntry(typed, entries))
        return;
    ComboBox1->addItem(typed);
    ComboBox1->setEditText(typed); // adding to an empty list would otherwise choose the entry
}
