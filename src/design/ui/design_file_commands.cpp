#include "design/ui/design_file_commands.h"

#include <QCoreApplication>
#include <QDir>

#include "design/design_file.h"

namespace studlab {
namespace {

std::filesystem::path FileSystemPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

}  // namespace

QString DesignFolder(const QString& programFolder) {
    const QDir beside(QDir(programFolder).filePath(QString::fromUtf8(kDesignFolderName)));
    return beside.exists() ? beside.path() : QDir::homePath();
}

bool SaveDesignWithDialog(QWidget* parent, IDialogs& dialogs, const TGameDesign& design) {
    const std::optional<QString> name =
        dialogs.SaveFileName(parent, DesignFolder(QCoreApplication::applicationDirPath()),
                             QString::fromUtf8(kDesignFileFilter), kDesignFileSuffix);
    if (!name) return false;
    try {
        SaveDesignFile(design, FileSystemPath(WithExtension(*name, kDesignFileSuffix)));
    } catch (const TFileError& e) {
        dialogs.ShowError(parent, QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

std::optional<std::filesystem::path> AskForDesignFile(QWidget* parent, IDialogs& dialogs) {
    const std::optional<QString> path =
        dialogs.OpenFileName(parent, DesignFolder(QCoreApplication::applicationDirPath()),
                             QString::fromUtf8(kDesignFileFilter));
    if (!path) return std::nullopt;
    return FileSystemPath(*path);
}

std::optional<std::string> LoadDesignWithDialog(QWidget* parent, IDialogs& dialogs,
                                                TGameDesign& design) {
    const std::optional<std::filesystem::path> path = AskForDesignFile(parent, dialogs);
    if (!path) return std::nullopt;
    try {
        return LoadDesignFile(*path, design);
    } catch (const TFileError& e) {
        dialogs.ShowError(parent, QString::fromStdString(e.what()));
        return std::nullopt;
    }
}

}  // namespace studlab
