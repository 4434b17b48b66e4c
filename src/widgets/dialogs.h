#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace studlab {

// The modal dialogs and the beep that windows ask for. Windows reach them only through this
// interface, so that a test can answer them and no test ever waits on a modal dialog.
class IDialogs {
public:
    virtual ~IDialogs() = default;

    // A full path, or nothing when the user cancels. `filter` reads "файлы игр (*.es1)".
    virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& folder,
                                                const QString& filter) = 0;
    // A full path as typed (no filter, no default folder, no extension added), or nothing.
    virtual std::optional<QString> SaveFileName(QWidget* parent) = 0;
    // An error that stopped a command.
    virtual void ShowError(QWidget* parent, const QString& message) = 0;
    virtual void Beep() = 0;
};

// The platform's own dialogs.
class TPlatformDialogs final : public IDialogs {
public:
    std::optional<QString> OpenFileName(QWidget* parent, const QString& folder,
                                        const QString& filter) override;
    std::optional<QString> SaveFileName(QWidget* parent) override;
    void ShowError(QWidget* parent, const QString& message) override;
    void Beep() override;
};

}  // namespace studlab
