#pragma once

#include <QWidget>

#include "app/studlab_model.h"

namespace studlab {

// The profitability window "проверка выгодности игры".
class TForm4 final : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(TStudlabModel& model);

    // "циклы" and the four limit fields under their header; the constructor's "MO" shows them.
    void ShowCyclesControls();

signals:
    void ConstructorRequested();       // "на начало"
    void DecisionWindowRequested();    // "расклады"
    void ExitRequested();              // "выход"
    void StatisticsWindowRequested();  // "статистика"
    void GraphWindowRequested();  // "Показать график", "стратегия игры"

private:
    TStudlabModel& m_model;
};

}  // namespace studlab
