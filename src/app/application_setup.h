#pragma once

class QApplication;
class QTranslator;

namespace studlab {

// What the program sets up before it creates its windows: its name, the widget style, the
// Comic Neue stand-in for "Comic Sans MS", and Russian texts for Qt's own dialogs and buttons
// (`translator` must outlive the application's use of it). The program ends only when its main
// window closes, not when the last visible window does.
void SetUpApplication(QApplication& app, QTranslator& translator);

// Qt's own widgets write sizes, dates and file types (the file dialogs' columns) in the language
// of the system's locale. The program speaks Russian wherever its user lives, so Qt is given a
// Russian locale too. Called before the application object is created, which reads it.
void UseRussianLocale();

}  // namespace studlab
