#pragma once

#include <QWidget>

namespace studlab {

// "Form9": the listing of the dealer's possible combinations, two labels side by side.
class TForm9 final : public QWidget {
    Q_OBJECT
public:
    TForm9();
};

}  // namespace studlab
