#pragma once

class QApplication;
class QTranslator;

namespace studlab {

// What the program sets up before it creates its windows: its name, the widget style, the
// Comic Neue stand-in for "Comic Sans MS", and Russian texts for Qt's own dialogs and buttons
// (`translator` must outlive the application's use of it). The program ends only when its main
// window closes, not when the last visible window does.
void SetUpApplication(QApplication& app, QTranslator& translator);

}  // namespace studlab
