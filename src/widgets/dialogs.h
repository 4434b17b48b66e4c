#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace studlab {

// The answers to the question whether to save changed work before it is left.
enum class TSaveAnswer { Save, Discard, Cancel };

// The modal dialogs and the beep that windows ask for. Windows reach them only through this
// interface, so that a test can answer them and no test ever waits on a modal dialog.
class IDialogs {
public:
    virtual ~IDialogs() = default;

    // A full path, or nothing when the user cancels. `filter` reads "файлы игр (*.es1)".
    virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& folder,
                                                const QString& filter) = 0;
    // The full path to write to, or nothing when the user cancels. The dialog opens in `folder`
    // and lists the files of `filter`; the name gets the extension `suffix` ("es1") unless it
    // ends with it already, and when a file of that name exists the dialog asks whether to
    // replace it.
    virtual std::optional<QString> SaveFileName(QWidget* parent, const QString& folder,
                                                const QString& filter, const QString& suffix) = 0;
    // An error that stopped a command.
    virtual void ShowError(QWidget* parent, const QString& message) = 0;
    // Something the user should know that stopped nothing.
    virtual void ShowNotice(QWidget* parent, const QString& message) = 0;
    // A question before a step that cannot be undone: true only when the user agrees ("Да");
    // "Нет" is the default answer, and closing the dialog declines too.
    virtual bool Confirm(QWidget* parent, const QString& question) = 0;
    // Whether to save changed work before it is left: "Сохранить" (the default), "Не
    // сохранять" or "Отмена"; closing the dialog cancels.
    virtual TSaveAnswer AskToSave(QWidget* parent, const QString& question) = 0;
    virtual void Beep() = 0;
};

// The platform's own dialogs.
class TPlatformDialogs final : public IDialogs {
public:
    std::optional<QString> OpenFileName(QWidget* parent, const QString& folder,
                                        const QString& filter) override;
    std::optional<QString> SaveFileName(QWidget* parent, const QString& folder,
                                        const QString& filter, const QString& suffix) override;
    void ShowError(QWidget* parent, const QString& message) override;
    void ShowNotice(QWidget* parent, const QString& message) override;
    bool Confirm(QWidget* parent, const QString& question) override;
    TSaveAnswer AskToSave(QWidget* parent, const QString& question) override;
    void Beep() override;
};

// `path` with the extension `suffix` appended unless it ends with it already (in any case):
// "игра" and "игра.es1" both give "игра.es1", "игра.v2" gives "игра.v2.es1".
QString WithExtension(const QString& path, const QString& suffix);

}  // namespace studlab
