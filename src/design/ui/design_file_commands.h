#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "design/game_design.h"
#include "widgets/dialogs.h"

class QWidget;

namespace studlab {

inline constexpr const char* kDesignFolderName = "варианты игр";
inline constexpr const char* kDesignFileFilter = "файлы игр (*.es1)";
inline constexpr const char* kDesignFileSuffix = "es1";

// Where the open and save dialogs start: the folder "варианты игр" beside the program where it
// exists, otherwise the user's home folder.
QString DesignFolder(const QString& programFolder);

// "сохранить конструкцию": asks for a name in the folder of the design files and writes the
// design to it, with ".es1" appended unless the name ends with it; the dialog asks before an
// existing file is replaced. A cancelled dialog writes nothing; a failure is shown and leaves
// the old file as it was. Returns whether the design was written.
bool SaveDesignWithDialog(QWidget* parent, IDialogs& dialogs, const TGameDesign& design);

// The open dialog of the design files: the chosen file, or nothing when the user cancels.
std::optional<std::filesystem::path> AskForDesignFile(QWidget* parent, IDialogs& dialogs);

// "загрузить конструкцию": asks for a design file and loads it into `design`. Returns the name
// the file gives the game, or nothing when no design was loaded: a cancelled dialog or a failed
// load (shown to the user) changes nothing.
std::optional<std::string> LoadDesignWithDialog(QWidget* parent, IDialogs& dialogs,
                                                TGameDesign& design);

}  // namespace studlab
