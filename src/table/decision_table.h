#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cards/card.h"
#include "design/game_design.h"
#include "table/card_place.h"
#include "table/table_geometry.h"
#include "table/table_state.h"
#include "table/table_view.h"

namespace studlab {

// The decision window without its widgets: the one hand (TTableState), what the window shows of
// it (TTableView), and the commands behind its cards, buttons and menu. It reads the app's one
// design and calculation settings afresh at every command.
//
// The decision ("РЕШЕНИЕ") works on the same object: it reads the state and the design, writes
// the choices, marks the cards to throw away with MarkForExchange, shows its lists and result in
// the view, and settles the hand by setting HandStage to 0 and HandResult.
class TDecisionTable {
public:
    TDecisionTable(TGameDesign& design, TCalculationSettings& settings);

    // Image1Click .. Image52Click: a click on a card picture. Cards that lie in a slot or were
    // thrown away take no clicks.
    void ImageClick(TCardId id);
    // The card entry behind every click: puts the card where the stage expects it next, or lifts
    // it out of the deck (and back) once the stage's cards are complete.
    void PlaceCard(RankIndex rank, SuitIndex suit);
    // Whether card clicks can still lay out the hand: false with no hand (before a game, or
    // settled), before a game is named, and while the design's number of open dealer cards is
    // unusable. Anything that clicks cards until "РЕШЕНИЕ" shows must not start then.
    bool EntryOpen() const;
    // Button4Click .. Button13Click: toggles the fix mark of the button's slot.
    void FixButtonClick(int button);
    // Button2Click, "ПРОДОЛЖИТЬ": carries out the choice of the last decision and opens the next
    // stage. A cost that does not convert throws TConversionError before anything changes.
    void ContinueHand();
    // N2Click, "выбрать игру": loads the chosen design file (none: the dialog was cancelled, the
    // design and the game stay) and starts a fresh hand of the game. A file that cannot be read
    // throws TFileError and leaves the design, the game and the table as they were.
    void SelectGame(const std::optional<std::filesystem::path>& designFile);
    // N5Click, "новый расклад": starts a fresh hand, keeping the cards of fixed slots.
    void NewLayout();

    // A design loaded elsewhere (the constructor's menu) names the current game as well.
    void SetGameName(std::string name);
    const std::optional<std::string>& GameName() const { return m_gameName; }
    bool GameChosen() const { return m_gameName.has_value(); }

    // Raises a player card (slots 1..7) to show that the decision throws it away; false when the
    // card lies in no player slot.
    bool MarkForExchange(TCardId id);
    void ClearExchangeMarks();

    TTableState& State() { return m_state; }
    const TTableState& State() const { return m_state; }
    TTableView& View() { return m_view; }
    const TTableView& View() const { return m_view; }
    TGameDesign& Design() const { return m_design; }
    TCalculationSettings& Settings() const { return m_settings; }

    TFixButtonView FixButton(int button) const;
    TScreenPoint CardScreenPlace(TCardId id) const;
    TPointerShape CardPointer(TCardId id) const;

private:
    // Where a card clicked now would go during stages 2..5.
    struct TPlacement {
        TPlaceKind Row = TPlaceKind::cpPlayer;
        int Slot = 0;
        int NextStep = 0;
    };

    void PlaceInitialCard(TCardId card);
    void PlaceArrivingCard(TCardId card);
    std::optional<TPlacement> NextPlacement() const;
    std::optional<TPlacement> NextPlacementStage2() const;
    std::optional<TPlacement> NextPlacementStage3() const;
    std::optional<TPlacement> NextPlacementStage4() const;
    std::optional<TPlacement> NextPlacementStage5() const;
    std::optional<TPlacement> NextHiddenDealerCard() const;
    std::optional<TPlacement> ReplacementDealerCard(int step) const;
    int ToggleStep() const;
    void CompleteEntry(std::string_view prompt);
    void CompleteArrivingCards();
    void CompleteIfNothingMoreArrives();

    void ContinueAfterDecision1();
    void ContinueAfterDecision2();
    void ContinueAfterDecision3();
    void ContinueAfterDecision4();
    std::optional<double> CostOf(int decision, const std::string& code) const;
    void Pay(std::optional<double> amount);
    void Fold();
    void AskForHiddenDealerCards(int& step);
    void SettleExchangeMarks(bool exchanged);
    void ThrowAwayDealerSwapCard();

    void StartHand(bool keepFixedSlots);
    bool SetOpeningPrompt();
    void HideDecision();

    void MoveCard(TCardId id, TCardPlace to);
    void Toggle(TCardId id);
    void PutIntoPlayerSlot(TCardId id, int slot);
    void PutIntoDealerSlot(TCardId id, int slot);

    TGameDesign& m_design;
    TCalculationSettings& m_settings;
    std::optional<std::string> m_gameName;
    TTableState m_state;
    TTableView m_view;
};

}  // namespace studlab
