#include "widgets/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>

namespace studlab {
namespace {

// Qt's own file dialog opens narrow, and its columns of size, type and date cut their Russian
// texts short ("90…ты"): it opens wider, with those columns as wide as their texts and the
// names taking the rest.
void ShowWholeColumns(QFileDialog& dialog) {
    dialog.resize(dialog.sizeHint().expandedTo(QSize(820, 480)));
    if (auto* files = dialog.findChild<QTreeView*>("treeView")) {
        QHeaderView* header = files->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

// A save dialog whose names always carry the extension: the name is completed before the dialog
// checks it, so that the question whether to replace a file asks about the file that will be
// written. Qt's own dialog is used, since only it lets the name be completed first.
class TSaveDialog final : public QFileDialog {
public:
    TSaveDialog(QWidget* parent, const QString& folder, const QString& filter,
                const QString& suffix)
        : QFileDialog(parent, QString(), folder, filter), m_suffix(suffix) {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setOption(QFileDialog::DontUseNativeDialog);
        setDefaultSuffix(suffix);
        ShowWholeColumns(*this);
    }

    void accept() override {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && !files[0].isEmpty() && !QFileInfo(files[0]).isDir()) {
            const QString named = WithExtension(files[0], m_suffix);
            if (named != files[0]) selectFile(named);
        }
        QFileDialog::accept();
    }

private:
    QString m_suffix;
};

}  // namespace

QString WithExtension(const QString& path, const QString& suffix) {
    const QString extension = "." + suffix;
    return path.endsWith(extension, Qt::CaseInsensitive) ? path : path + extension;
}

std::optional<QString> TPlatformDialogs::OpenFileName(QWidget* parent, const QString& folder,
                                                      const QString& filter) {
    // Qt's own dialog, as for saving, so that both look alike and read whole.
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ShowWholeColumns(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files[0].isEmpty()) return std::nullopt;
    return files[0];
}

std::optional<QString> TPlatformDialogs::SaveFileName(QWidget* parent, const QString& folder,
                                                      const QString& filter,
                                                      const QString& suffix) {
    TSaveDialog dialog(parent, folder, filter, suffix);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files[0].isEmpty()) return std::nullopt;
    return WithExtension(files[0], suffix);
}

void TPlatformDialogs::ShowError(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, QApplication::applicationName(), message);
}

void TPlatformDialogs::ShowNotice(QWidget* parent, const QString& message) {
    QMessageBox::information(parent, QApplication::applicationName(), message);
}

bool TPlatformDialogs::Confirm(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QApplication::applicationName(), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

TSaveAnswer TPlatformDialogs::AskToSave(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), question,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    // Qt's Russian calls "Discard" "Отклонить"; the usual words of this question are these.
    box.button(QMessageBox::Discard)->setText("Не сохранять");
    switch (box.exec()) {
        case QMessageBox::Save:
            return TSaveAnswer::Save;
        case QMessageBox::Discard:
            return TSaveAnswer::Discard;
        default:
            return TSaveAnswer::Cancel;
    }
}

void TPlatformDialogs::Beep() {
    QApplication::beep();
}

}  // namespace studlab
