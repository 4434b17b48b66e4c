#pragma once

#include <QObject>
#include <QWidget>
#include <memory>
#include <vector>

#include "profit/game.h"
#include "widgets/dialogs.h"

namespace studlab {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;
class TForm12;
class TForm13;
class TForm14;

// The program's fourteen windows, created once in a fixed order and kept until the program
// ends, and the moves between them. Of the main windows (the constructor's three, the decision
// window, the profitability window) one is visible at a time: a move shows the target and hides
// the window it starts from. Minor windows and option dialogs open beside and hide nothing.
class TStudlabWindows final : public QObject {
    Q_OBJECT
public:
    TStudlabWindows(TGame& model, IDialogs& dialogs);
    ~TStudlabWindows() override;

    // Shows the start picture, the program's main window; the program ends when it closes.
    void Start();

    // Every window in the order of its creation, the main window first.
    std::vector<QWidget*> Windows() const;
    // The window of that class name ("TForm8"), or null.
    QWidget* Window(const QString& name) const;

private:
    void ConnectStartPicture();
    void ConnectConstructor();
    void ConnectDecisionWindow();
    void ConnectProfitWindow();

    void Move(QWidget* from, QWidget* to);
    void OpenBeside(QWidget* window);
    void OpenOptionDialog(QWidget* dialog);
    void RefreshDesignViews();
    void EndProgram();

    // In creation order; the start picture comes first and so is the main window.
    std::unique_ptr<TForm12> m_start;
    std::unique_ptr<TForm1> m_payouts;
    std::unique_ptr<TForm2> m_actions;
    std::unique_ptr<TForm3> m_costs;
    std::unique_ptr<TForm4> m_profit;
    std::unique_ptr<TForm5> m_minPair;
    std::unique_ptr<TForm6> m_minAceKing;
    std::unique_ptr<TForm7> m_roundStraight;
    std::unique_ptr<TForm8> m_decisions;
    std::unique_ptr<TForm9> m_combinations;
    std::unique_ptr<TForm10> m_empty;
    std::unique_ptr<TForm11> m_statistics;
    std::unique_ptr<TForm13> m_decisionList;
    std::unique_ptr<TForm14> m_graph;
};

}  // namespace studlab
