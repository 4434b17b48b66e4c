#include "design/ui/right_click_check_box.h"

#include <QMouseEvent>

namespace studlab {

void TRightClickCheckBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit RightButtonDown();
        event->accept();
        return;
    }
    QCheckBox::mousePressEvent(event);
}

}  // namespace studlab
