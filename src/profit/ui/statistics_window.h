#pragma once

#include <QWidget>

namespace studlab {

// "статистика раздач": the player's combinations of the last completed run.
class TForm11 final : public QWidget {
    Q_OBJECT
public:
    TForm11();
};

}  // namespace studlab
