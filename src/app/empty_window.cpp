#include "app/empty_window.h"

namespace studlab {

TEmptyWindow::TEmptyWindow() : QWidget(nullptr, Qt::Window) {
    setObjectName("TForm10");
    setWindowTitle("Form10");
}

}  // namespace studlab
