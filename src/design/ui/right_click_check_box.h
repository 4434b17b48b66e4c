#pragma once

#include <QCheckBox>

namespace studlab {

// A check box that also reports the right mouse button going down on it. The right button does
// not change the check mark; a disabled box reports nothing.
class TRightClickCheckBox final : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

signals:
    void RightButtonDown();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace studlab
