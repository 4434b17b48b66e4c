#include "widgets/clickable_label.h"

#include <QMouseEvent>

namespace studlab {

void TClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a left press and release over the control, as for a button.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace studlab
