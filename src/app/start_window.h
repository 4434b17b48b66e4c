#pragma once

#include <QWidget>

namespace studlab {

// The start picture: borderless, the program's main window. A click on the picture leads into
// the constructor; closing it ends the program.
class TForm12 final : public QWidget {
    Q_OBJECT
public:
    TForm12();

signals:
    void PictureClicked();
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace studlab
