#include "app/window/window_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

void ask_for_file(QWidget* owner, FileDialogKind kind, const QString& title, const QString& name,
                  const QString& filter, std::function<void(const QString&)> chosen) {
    auto* dialog = new QFileDialog(owner, title, QString(), filter);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (kind == FileDialogKind::Save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->selectFile(name);
    } else {
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    QObject::connect(dialog, &QFileDialog::fileSelected, owner,
                     [chosen = std::move(chosen)](const QString& path) {
                         if (!path.isEmpty()) chosen(path);
                     });
    dialog->open();
}

void show_failure(QWidget* owner, const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Close, owner);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
