#include "FileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace kelvos {

void openFileDialog(QWidget* parent, const QString& caption, const QString& filter,
                    FileDialogMode mode, std::function<void(const QStringList&)> answer) {
    auto* dialog = new QFileDialog(parent, caption, QDir::currentPath(), filter);
    dialog->setObjectName("fileDialog");
    dialog->setAcceptMode(mode == FileDialogMode::Save ? QFileDialog::AcceptSave
                                                       : QFileDialog::AcceptOpen);
    switch (mode) {
    case FileDialogMode::Open:
        dialog->setFileMode(QFileDialog::ExistingFile);
        break;
    case FileDialogMode::OpenMany:
        dialog->setFileMode(QFileDialog::ExistingFiles);
        break;
    case FileDialogMode::Save:
        dialog->setFileMode(QFileDialog::AnyFile);
        break;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(
        dialog, &QFileDialog::finished, dialog, [dialog, answer = std::move(answer)](int result) {
            answer(result == QDialog::Accepted ? dialog->selectedFiles() : QStringList());
        });
    dialog->open();
}

} // namespace kelvos
