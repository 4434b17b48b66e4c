#pragma once

#include <QWidget>

namespace studlab {

// "Form10": created with the others and never shown.
class TForm10 final : public QWidget {
    Q_OBJECT
public:
    TForm10();
};

}  // namespace studlab
