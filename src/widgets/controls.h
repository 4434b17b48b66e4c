#pragma once

#include <QAction>
#include <QRect>
#include <QString>
#include <string_view>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace studlab {

// Controls carry the names the program gives them ("CheckBox3", "Edit12") as their object
// names, so that every control can be found by name.

QCheckBox* NewCheckBox(QWidget* parent, const QString& name, const QString& caption);
// A number field: any text up to `maxLength` characters is accepted (the windows pass the length
// of a design file's line, so that whatever a field holds can be saved); bold black, 13 pixels.
QLineEdit* NewNumberField(QWidget* parent, const QString& name, int width, int maxLength);
QLabel* NewLabel(QWidget* parent, const QString& name, const QString& text);
QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption,
                       QRect geometry);
QGroupBox* NewGroupBox(QWidget* parent, const QString& name, const QString& title, QRect geometry);
// An engine's UTF-8 text as Qt holds it.
QString QtText(std::string_view text);
// A model's text for a label: the model separates lines with a carriage return ("\r"), which a
// label would not break at.
QString LabelText(std::string_view text);

// A command of a menu or of the menu bar ("N2", "MO1"), run by `handler` on `context`.
template <typename Menu, typename Receiver, typename Handler>
QAction* AddCommand(Menu* menu, const QString& name, const QString& caption, Receiver* context,
                    Handler handler) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, context, handler);
    return action;
}

// The large white label across the top of a window that states its topic.
QLabel* NewBanner(QWidget* client, const QString& name, const QString& text);

}  // namespace studlab
