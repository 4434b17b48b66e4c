#pragma once

#include <QWidget>

namespace studlab {

// "Form13": the candidate decisions and their values in a larger font.
class TForm13 final : public QWidget {
    Q_OBJECT
public:
    TForm13();
};

}  // namespace studlab
