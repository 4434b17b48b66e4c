#pragma once

#include <QString>

#include "app/services/dialogs.h"
#include "app/studlab_model.h"

class QWidget;

namespace studlab {

inline constexpr const char* kDesignFolderName = "варианты игр";
inline constexpr const char* kDesignFileFilter = "файлы игр (*.es1)";

// Where the open dialog starts: the folder "варианты игр" beside the program where it exists,
// otherwise the user's home folder.
QString DesignFolder(const QString& programFolder);

// "сохранить конструкцию": asks for a name and writes the design to that name with ".es1"
// appended. A cancelled dialog writes nothing; a failure is shown and changes nothing.
void SaveDesignWithDialog(QWidget* parent, IDialogs& dialogs, const TGameDesign& design);

// "загрузить конструкцию", which the decision window's game selection runs too: asks for a
// design file, loads it into the model and names the game after it. Returns whether a design
// was loaded; a cancelled dialog or a failed load (shown to the user) changes nothing.
bool LoadDesignWithDialog(QWidget* parent, IDialogs& dialogs, TStudlabModel& model);

}  // namespace studlab
