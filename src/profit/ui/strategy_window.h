#pragma once

#include <QBrush>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <string>

#include "design/design_fingerprint.h"
#include "design/game_design.h"
#include "table/decision_table.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace studlab {

class IDialogs;
class TExactAnalysis;
class TStrategyGrid;

// "стратегия игры": how the game is played at its first decision, from the exact analysis of the
// design as it stands. A grid of starting-hand groups (rows) against the dealer's open card
// (columns, when he shows one; one column otherwise); each cell names the action the play takes
// there, coloured by action, with its share when it depends on more than the cell, and its hint
// gives every offered action's mean value. When the design has no exact result yet, opening the
// window starts the analysis. A hand typed with the dealer's cards is valued as the decision
// window values it. The grid is saved as CSV (as `studlab-cli exact --strategy` writes it) and
// as a picture.
class TStrategyWindow final : public QWidget {
    Q_OBJECT
public:
    // Shows the strategy of `design` under `settings`, for the game `table` names; the valued
    // hand is laid out on a table of the window's own over `design`.
    TStrategyWindow(TGameDesign& design, const TCalculationSettings& settings,
                    const TDecisionTable& table, TExactAnalysis& analysis, IDialogs& dialogs);

    // Shows the analysis as it stands for the current design.
    void Render();
    // "оценить": values the hand of the field (the player's five cards, then the dealer's open
    // cards) with every action the first stage allows.
    void EvaluateHand();

    // "сохранить CSV", "сохранить PNG" without their dialogs; false when there is nothing to
    // save or the file could not be written.
    bool SaveCsv(const QString& path) const;
    bool SavePng(const QString& path) const;
    // The grid as a picture: captions, cells and the colours' legend.
    QImage GridPicture() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FillGrid(const TStrategyGrid& grid, bool byDealerCard);
    void ClearGrid();
    // Sizes the columns and rows to the cells' texts, in a smaller type when the columns would
    // not fit the screen.
    void SizeCells();
    // The window's width that shows every column of the grid.
    int WindowWidthForGrid();
    // Widens the window, as far as the screen allows, to show every column of the grid.
    void FitWidthToGrid();
    // Marks the cell of the valued hand (and unmarks the one before).
    void MarkCell(int row, int column);
    void ShowHandMessage(const QString& message);
    void Save(const QString& suffix, bool (TStrategyWindow::*save)(const QString&) const);

    const TGameDesign& m_design;
    const TCalculationSettings& m_settings;
    const TDecisionTable& m_table;
    TExactAnalysis& m_analysis;
    IDialogs& m_dialogs;
    // The hand of the field is laid out on a decision table of its own, so that the decision
    // window's hand stays as it is; it reads the game's design and a copy of its settings
    // without the cache.
    TCalculationSettings m_handSettings;
    TDecisionTable m_handTable;
    // Notices edits of the design made while the window shows.
    QTimer m_watch;
    std::string m_shownFingerprint;  // of the result the grid shows; empty: none
    // Of the design and settings the valued hand was valued for; empty: no hand shown.
    std::string m_handFingerprint;
    TFingerprintMemo m_fingerprint;
    bool m_byDealerCard = false;
    int m_markedRow = -1;
    int m_markedColumn = -1;
    QBrush m_markedBrush;  // the marked cell's own colour

    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_calculate = nullptr;
    QPushButton* m_stop = nullptr;
    QTableWidget* m_grid = nullptr;
    QLabel* m_legend = nullptr;
    QLineEdit* m_hand = nullptr;
    QLabel* m_handChoice = nullptr;
    QTableWidget* m_handValues = nullptr;
    QPushButton* m_saveCsv = nullptr;
    QPushButton* m_savePng = nullptr;
};

}  // namespace studlab
