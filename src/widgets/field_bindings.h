#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace studlab {

// Ties controls to the fields of one record. A control writes its field when the user changes
// it; Refresh() shows every field's current value in its control (after a design is loaded).
// An accessor is a callable that returns a reference to the field inside the record.
template <class TRecord>
class TFieldBindings {
public:
    explicit TFieldBindings(TRecord& record) : m_record(record) {}

    // A check box and a flag.
    template <class Access>
    void Flag(QAbstractButton* box, Access field) {
        QObject::connect(box, &QAbstractButton::clicked, box,
                         [this, field](bool on) { field(m_record) = on; });
        m_refreshers.push_back([this, box, field] { box->setChecked(field(m_record)); });
    }

    // A text field and a number held as text: any text is taken as typed.
    template <class Access>
    void Text(QLineEdit* edit, Access field) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, [this, field](const QString& text) {
            field(m_record) = text.toStdString();
        });
        m_refreshers.push_back([this, edit, field] {
            const QString text = QString::fromStdString(field(m_record));
            if (edit->text() != text) edit->setText(text);
        });
    }

    // Exclusive options and the field they choose. The field may be a std::optional: a design
    // file can leave a group with no option chosen, and the group then shows none.
    template <class TValue, class Access>
    void Options(QButtonGroup* group, std::vector<std::pair<QAbstractButton*, TValue>> options,
                 Access field) {
        for (const auto& [button, value] : options) {
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [this, field, value = value] { field(m_record) = value; });
        }
        m_refreshers.push_back([this, group, options = std::move(options), field] {
            // An exclusive group refuses to uncheck its last checked button.
            group->setExclusive(false);
            for (const auto& [button, value] : options)
                button->setChecked(field(m_record) == value);
            group->setExclusive(true);
        });
    }

    void Refresh() const {
        for (const auto& refresh : m_refreshers) refresh();
    }

private:
    TRecord& m_record;
    std::vector<std::function<void()>> m_refreshers;
};

}  // namespace studlab
