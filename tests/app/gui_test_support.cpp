#include "gui_test_support.h"

#include <QTest>

namespace studlab::test {

QWidget* TProgram::Window(const QString& name) const {
    return Windows.Window(name);
}

QAction* TProgram::Action(const QString& window, const QString& name) const {
    QWidget* w = Window(window);
    return w ? w->findChild<QAction*>(name) : nullptr;
}

QStringList TProgram::VisibleWindows() const {
    QStringList names;
    for (QWidget* window : Windows.Windows()) {
        if (window->isVisible()) names << window->objectName();
    }
    return names;
}

void TProgram::ShowOnly(const QString& window) const {
    for (QWidget* w : Windows.Windows()) w->hide();
    Window(window)->show();
}

void TypeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void RetypeText(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    TypeText(edit, text);
}

}  // namespace studlab::test
