#include "widgets/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace studlab {

std::optional<QString> TPlatformDialogs::OpenFileName(QWidget* parent, const QString& folder,
                                                      const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(parent, QString(), folder, filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> TPlatformDialogs::SaveFileName(QWidget* parent) {
    // The caller appends ".es1" to whatever name comes back, so asking whether to replace the
    // file that was picked would ask about the wrong file.
    const QString path = QFileDialog::getSaveFileName(parent, QString(), QString(), QString(),
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

void TPlatformDialogs::ShowError(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, QApplication::applicationName(), message);
}

void TPlatformDialogs::Beep() {
    QApplication::beep();
}

}  // namespace studlab
