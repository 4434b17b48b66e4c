#pragma once

#include <QAction>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

#include "app/game.h"
#include "app/studlab_windows.h"
#include "scripted_dialogs.h"

namespace studlab::test {

// The program's windows over a fresh model, with scripted dialogs.
struct TProgram {
    TGame Game;
    TScriptedDialogs Dialogs;
    TStudlabWindows Windows{Game, Dialogs};

    QWidget* Window(const QString& name) const;
    // A control of a window, found by its name; null when there is none of that type.
    template <class T = QWidget>
    T* Control(const QString& window, const QString& name) const {
        QWidget* w = Window(window);
        return w ? w->findChild<T*>(name) : nullptr;
    }
    QAction* Action(const QString& window, const QString& name) const;
    // The names of the windows on screen, in creation order.
    QStringList VisibleWindows() const;
    // Hides every window, then shows `window` as the user would have reached it.
    void ShowOnly(const QString& window) const;
};

// Types `text` into a widget a character at a time (QTest::keyClicks stops on Cyrillic).
void TypeText(QWidget* widget, const QString& text);
// Selects the whole text of a field and types `text` over it.
void RetypeText(QLineEdit* edit, const QString& text);

// The test suites, each run as its own test program by gui_test_main.cpp.
int RunNavigationTests(int argc, char** argv);
int RunConstructorTests(int argc, char** argv);
int RunDesignFileTests(int argc, char** argv);
int RunPictureTests(int argc, char** argv);
int RunDecisionWindowTests(int argc, char** argv);
int RunProfitWindowTests(int argc, char** argv);
int RunExactWindowTests(int argc, char** argv);
int RunScreenFitTests(int argc, char** argv);

}  // namespace studlab::test
