#include "widgets/controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/window_look.h"

namespace studlab {

QCheckBox* NewCheckBox(QWidget* parent, const QString& name, const QString& caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QLineEdit* NewNumberField(QWidget* parent, const QString& name, int width, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setFixedWidth(width);
    edit->setMaxLength(maxLength);
    StyleNumberField(edit);
    return edit;
}

QLabel* NewLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption,
                       QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

QGroupBox* NewGroupBox(QWidget* parent, const QString& name, const QString& title, QRect geometry) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    group->setGeometry(geometry);
    return group;
}

QString QtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString LabelText(std::string_view text) {
    QString lines = QtText(text);
    lines.replace(QChar('\r'), QChar('\n'));
    return lines;
}

QLabel* NewBanner(QWidget* client, const QString& name, const QString& text) {
    QLabel* banner = NewLabel(client, name, text);
    banner->setFont(CaptionFont(20, true));
    banner->setAlignment(Qt::AlignCenter);
    banner->setGeometry(0, 2, client->width(), 32);
    return banner;
}

}  // namespace studlab
