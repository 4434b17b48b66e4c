#pragma once

#include <QLabel>

namespace studlab {

// A label or picture that takes clicks (the start picture, the decision lists, card pictures).
class TClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace studlab
