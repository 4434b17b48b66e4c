#pragma once

#include <QStringList>
#include <QWidget>
#include <optional>

class QButtonGroup;

namespace studlab {

// A small borderless black dialog with one titled group of exclusive options and "ОК". It is
// not modal: choosing an option takes effect at once, and "ОК" only hides the dialog.
class TOptionDialog : public QWidget {
    Q_OBJECT
public:
    // Shows the design's current choice; a design file may have left none chosen.
    void RefreshFromDesign();

protected:
    TOptionDialog(const QString& name, QSize clientSize, const QString& title,
                  const QStringList& options);

    // The option the design holds (0 = first), if any.
    virtual std::optional<int> ChosenOption() const = 0;
    virtual void Choose(int option) = 0;

private:
    QButtonGroup* m_group = nullptr;
};

}  // namespace studlab
