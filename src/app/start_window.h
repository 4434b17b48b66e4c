#pragma once

#include <QWidget>

namespace studlab {

// The start picture (TForm12): borderless, the program's main window. A click on the picture leads
// into the constructor; closing it ends the program.
class TStartWindow final : public QWidget {
    Q_OBJECT
public:
    TStartWindow();

signals:
    void PictureClicked();
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace studlab
