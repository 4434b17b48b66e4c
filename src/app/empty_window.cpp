#include "app/empty_window.h"

namespace studlab {

TForm10::TForm10() : QWidget(nullptr, Qt::Window) {
    setObjectName("TForm10");
    setWindowTitle("Form10");
}

}  // namespace studlab
