#pragma once

#include <QWidget>

namespace studlab {

// TForm10, "Form10": created with the others and never shown.
class TEmptyWindow final : public QWidget {
    Q_OBJECT
public:
    TEmptyWindow();
};

}  // namespace studlab
