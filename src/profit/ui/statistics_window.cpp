#include "profit/ui/statistics_window.h"

#include "app/services/window_look.h"

namespace studlab {

TForm11::TForm11() : QWidget(nullptr, Qt::Window) {
    setObjectName("TForm11");
    setWindowTitle("статистика раздач");
    resize(715, 298);
    PaintWindow(this, kBlackBackground);
    QFont textFont = font();
    textFont.setPixelSize(16);
    setFont(textFont);
    CentreOnDesktop(this);
}

}  // namespace studlab
