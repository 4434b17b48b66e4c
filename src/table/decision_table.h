#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cards/card.h"
#include "cards/evaluator.h"
#include "cards/random_generator.h"
#include "design/design_fingerprint.h"
#include "design/game_design.h"
#include "table/cache/decision_cache.h"
#include "table/card_place.h"
#include "table/table_geometry.h"
#include "table/table_state.h"
#include "table/table_view.h"

namespace studlab {

// A random deal that cannot be played: no game is chosen, the layout is shut, or the number of
// playing boxes asks for more cards than the deck holds.
class TRandomDealError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

    // Button1Click, "РЕШЕНИЕ": values every action the stage allows, names the best, marks the
    // cards it throws away, and settles the hand when it is complete. A number that does not
    // convert throws TConversionError; the candidates valued before it stay, nothing else changes.
    void Decide();
    // Button3Click, "комбинации": the dealer's completions per kind for the combinations window.
    void ShowCombinations();
    // Button15Click, "СДАТЬ СЛУЧАЙНО": a new layout dealt at random and played to its end by
    // pressing "РЕШЕНИЕ" and "ПРОДОЛЖИТЬ" as a user would. Throws TRandomDealError when the hand
    // cannot be dealt.
    void RandomDeal();

    // Lets the window handle its pending events; run once at the start of every decision.
    std::function<void()> ProcessPendingEvents;
    // Told of every button the random deal presses ("РЕШЕНИЕ", "ПРОДОЛЖИТЬ"), after the press.
    std::function<void(std::string_view button)> ButtonPressed;
    // The clock that seeds the random generator (the system's high-resolution clock by default).
    void SetClock(const IClock& clock) { m_clock = &clock; }
    TRandomGenerator& Random() { return m_random; }
    // Where the decision caches of the games live (the folder "Games" beside the program).
    TDecisionCache& Cache() { return m_cache; }
    // Evaluations made since the program started, for tests and benchmarks.
    std::uint64_t EvaluatorCalls() const { return m_evaluatorCalls; }

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

    void OpenStage(int stage, bool hideCombinations);
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

    // The decision: one press's evaluator rules (converted at the first evaluation), its layout.
    const TEvalRules& Rules();
    TEvalLayout TableLayout() const;
    std::int64_t Evaluate(const TEvalLayout& layout, TEvalMode mode);
    int AddCandidate(std::string text, std::string value, std::string code);
    void DecideStage1();
    void DecideStage2();
    void DecideStage3();
    void DecideStage4();
    void ChooseBest(int stage);
    bool DealerCanHaveGame();
    void MarkCardsForExchange();
    void SettleHand(std::string_view lossText);
    void DesignConflictCheck();
    bool CacheLookup();
    void CacheStore(int stage);  // the stage the press decided

    // Draw and exchange evaluation: each adds its candidates at the first free slots.
    void OfferBuyCard(int stage);
    void OfferBuyTwoCards(int stage);
    void OfferExchange1(int stage);
    void OfferExchange2(int stage);
    void OfferExchange3(int stage);
    void OfferExchange4(int stage);
    void OfferExchange5(int stage);
    void OfferDealerGame(int stage);
    std::optional<std::int64_t> DrawSum(TEvalLayout& layout, bool intoDealer, int cards, bool exact,
                                        TEvalMode mode);
    std::int64_t ExactDraw(TEvalLayout& layout, bool intoDealer, int cards, TEvalMode mode);
    std::optional<std::int64_t> SampledDraw(TEvalLayout& layout, bool intoDealer, int cards,
                                            TEvalMode mode);

    void DealRandomCardsUntil(const std::function<bool()>& done, int* counted);

    void MoveCard(TCardId id, TCardPlace to);
    void Toggle(TCardId id);
    void PutIntoPlayerSlot(TCardId id, int slot);
    void PutIntoDealerSlot(TCardId id, int slot);

    TGameDesign& m_design;
    TCalculationSettings& m_settings;
    std::optional<std::string> m_gameName;
    TTableState m_state;
    TTableView m_view;

    TRandomGenerator m_random;
    TSteadyClock m_steadyClock;
    const IClock* m_clock = &m_steadyClock;
    TDecisionCache m_cache{"Games"};
    TFingerprintMemo m_fingerprint;  // of the design and settings, for the cache's rows
    std::uint64_t m_evaluatorCalls = 0;
    // Valid during one press.
    std::optional<TEvalRules> m_rules;
    std::int32_t m_sampleCount = 2000;
};

}  // namespace studlab
