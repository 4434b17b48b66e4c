#include "app/graph_window.h"

#include <QPainter>
#include <QPushButton>

#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {

TGraphWindow::TGraphWindow() : QWidget(nullptr, Qt::Window) {
    setObjectName("TForm14");
    setWindowTitle("Form14");
    // An outer size of 874 x 560 with a common frame (8 pixels each side, a 31-pixel title bar).
    resize(874 - 16, 560 - 39);
    QPushButton* close = NewButton(this, "Button1", "Button1", QRect(680, 470, 75, 25));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    QPushButton* draw = NewButton(this, "Button2", "Button2", QRect(768, 470, 75, 25));
    connect(draw, &QPushButton::clicked, this, &TGraphWindow::DrawLine);
    CentreOnDesktop(this);
}

void TGraphWindow::DrawLine() {
    m_lineDrawn = true;
    update();
}

void TGraphWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!m_lineDrawn) return;
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(100, 1, 100, 100);
}

}  // namespace studlab
