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
#include "design/game_design.h"
#include "table/card_place.h"
#include "table/offer_values.h"
#include "table/table_state.h"
#include "table/table_view.h"

namespace studlab {

class TDecisionCache;
struct TDecisionPoint;

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
class TDecisionTable final : private IOfferEvaluator {
public:
    TDecisionTable(TGameDesign& design, TCalculationSettings& settings);
    ~TDecisionTable() override;
    TDecisionTable(const TDecisionTable&) = delete;
    TDecisionTable& operator=(const TDecisionTable&) = delete;

    // A click on the card's picture (Image1Click .. Image52Click). Cards that lie in a slot or
    // were thrown away take no clicks.
    void ClickCard(TCardId id);
    // The card entry behind every click: puts the card where the stage expects it next, or lifts
    // it out of the deck (and back) once the stage's cards are complete.
    void PlaceCard(RankIndex rank, SuitIndex suit);
    // Whether card clicks can still lay out the hand: false with no hand (before a game, or
    // settled), before a game is named, and while the design's number of open dealer cards is
    // unusable. Anything that clicks cards until "РЕШЕНИЕ" shows must not start then.
    bool EntryOpen() const;
    // Toggles the fix mark of `slot` (1..5) of the player's or the dealer's row (Button4Click ..
    // Button8Click under the player's slots, Button9Click .. Button13Click under the dealer's).
    void ToggleFix(TPlaceKind row, int slot);
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
    // Without the same sequence, every random deal deals from a stream of its own: hand `hand`
    // of the streams of `seed`, and the next deals the hands after it. Until this is called the
    // seed comes from the clock, once, and the hands count from 1.
    void SetHandStream(std::uint64_t seed, std::uint64_t hand) {
        m_streamSeed = seed;
        m_nextHand = hand;
    }
    // Where the decision caches of the games live (the folder "Games" beside the program).
    TDecisionCache& Cache();
    // Evaluations made since the program started, for tests and benchmarks.
    std::uint64_t EvaluatorCalls() const { return m_evaluatorCalls; }
    // Whether exchanges are counted on the dealer's completions tallied once per decision (on)
    // or every arrival evaluated on its own; the values are the same.
    void SetCountsDraws(bool on) { m_countsDraws = on; }

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

private:
    void PlaceInitialCard(TCardId card);
    void PlaceArrivingCard(TCardId card);
    int ToggleStep() const;
    void CompleteEntry(std::string_view prompt);
    void CompleteArrivingCards();
    void CompleteIfNothingMoreArrives();

    void StartHand(bool keepFixedSlots);
    bool SetOpeningPrompt();
    void HideDecision();

    // The decision: one press's evaluator rules (converted at the first evaluation), its layout.
    // Every evaluation of a press counts, converts the design's rules at the first, and leaves
    // its verdict on insurance in HandInsurable.
    const TEvalRules& Rules() override;
    TEvalResult Evaluate(const TEvalLayout& layout, TEvalMode mode) override;
    TEvalLayout TableLayout() const;
    int AddCandidate(std::string text, std::string value, std::string_view code);
    void DecideStage1();
    void DecideLaterStage(int stage);
    void ChooseBest(int stage);
    bool DealerCanHaveGame();
    void MarkCardsForExchange();
    void SettleHand(std::string_view lossText);
    void DesignConflictCheck();
    bool CacheLookup();
    void CacheStore(int stage);  // the stage the press decided

    // The stage's offers, valued and added to the candidate table in the order it lists them.
    void AddOffers();
    TDecisionPoint CurrentPoint() const;
    // The number of random draws of the probabilistic method, read from the settings at the
    // first sampled draw of a press (a text that does not convert stops the press there).
    std::int32_t SampleCount();

    void DealRandomCardsUntil(const std::function<bool()>& done, int* counted);

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
    std::optional<std::uint64_t> m_streamSeed;
    std::uint64_t m_nextHand = 1;
    // The decision cache, the design's fingerprint and the counted draws, kept out of this
    // header so that the many files that use the table do not depend on them.
    struct TParts;
    std::unique_ptr<TParts> m_parts;
    std::uint64_t m_evaluatorCalls = 0;
    bool m_countsDraws = true;
    // Valid during one press.
    std::optional<TEvalRules> m_rules;
    std::optional<std::int32_t> m_sampleCount;
};

}  // namespace studlab
