#include "app/start_window.h"

#include <QCloseEvent>

#include "widgets/card_pictures.h"
#include "widgets/clickable_label.h"
#include "widgets/window_look.h"

namespace studlab {

TStartWindow::TStartWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName("TForm12");
    setWindowTitle("studlab");
    // The picture is a pixel larger than the window each way and is clipped by it.
    setFixedSize(320, 479);
    auto* picture = new TClickableLabel(this);
    picture->setObjectName("Image1");
    picture->setPixmap(StartPixmap());
    picture->setGeometry(QRect(QPoint(0, 0), kStartPictureSize));
    picture->setCursor(Qt::PointingHandCursor);
    connect(picture, &TClickableLabel::Clicked, this, &TStartWindow::PictureClicked);
    CentreOnDesktop(this);
}

void TStartWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit Closed();
}

}  // namespace studlab
