#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "cards/card.h"
#include "cards/evaluator.h"
#include "cards/random_generator.h"
#include "design/game_design.h"
#include "table/card_place.h"
#include "table/first_choices.h"
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

// The hand engine: one hand of a game on the table (TTableState) and what it says of itself
// (TTableView: its prompt, its lists and which steps are open), played card by card, decision
// by decision: the card entry, the decision ("РЕШЕНИЕ"), the draw ("ПРОДОЛЖИТЬ") and the
// settlement. It reads the design and the calculation settings afresh at every step. The
// decision window drives it through TDecisionTable; the profitability check plays its random
// hands on it directly. The rules it applies to the cards lie in hand_rules.h, which the exact
// analysis's walker shares.
class THand final : private IOfferEvaluator {
public:
    THand(TGameDesign& design, TCalculationSettings& settings);
    ~THand() override;
    THand(const THand&) = delete;
    THand& operator=(const THand&) = delete;

    // ---- The card entry.
    // Puts the card where the stage expects it next, or lifts it out of the deck (and back) once
    // the stage's cards are complete. Cards that lie in a slot or were thrown away stay.
    void PlaceCard(RankIndex rank, SuitIndex suit);
    // Whether cards can still lay out the hand: false with no hand (before a game, or settled),
    // before a game is named, and while the design's number of open dealer cards is unusable.
    bool EntryOpen() const;
    // Whether the stage's cards are in and the decision may be made.
    bool EntryComplete() const { return m_view.DecideVisible; }
    // Toggles the fix mark of `slot` (1..5) of the player's or the dealer's row.
    void ToggleFix(TPlaceKind row, int slot);
    // Starts a fresh hand of the game; `keepFixedSlots` keeps the cards of fixed slots (a new
    // layout), otherwise every card goes back to the deck and the fix marks go (a new game).
    void StartHand(bool keepFixedSlots);

    // ---- The decision and the draw.
    // Values every action the stage allows, names the best, marks the cards it throws away, and
    // settles the hand when it is complete. A number that does not convert throws
    // TConversionError; the candidates valued before it stay, nothing else changes.
    void Decide();
    // Carries out the choice of the last decision and opens the next stage. A cost that does
    // not convert throws TConversionError before anything changes.
    void Continue();
    // The dealer's completions per kind, for the combinations window.
    void ShowCombinations();

    // ---- The random hand.
    // A new layout dealt at random (keeping the cards of fixed slots) and played to its end:
    // random cards from the deck while the entry asks for them, the further boxes' cards lifted
    // as known out cards, every decision made and carried out. `decided` and `continued` are told
    // after each decision and each draw. Throws TRandomDealError when the hand cannot be dealt.
    void PlayRandomHand(const std::function<void()>& decided = {},
                        const std::function<void()>& continued = {});

    // Run once at the start of every decision: the window handles its pending events, the
    // profitability check stops a cancelled run.
    std::function<void()> BeforeDecision;
    // The clock that seeds the random generator (the system's high-resolution clock by default).
    void SetClock(const IClock& clock) { m_clock = &clock; }
    TRandomGenerator& Random() { return m_random; }
    const TRandomGenerator& Random() const { return m_random; }
    // Without the same sequence, every random hand deals from a stream of its own: hand `hand`
    // of the streams of `seed`, and the next deals the hands after it. Until this is called the
    // seed comes from the clock, once, and the hands count from 1.
    void SetHandStream(std::uint64_t seed, std::uint64_t hand) {
        m_streamSeed = seed;
        m_nextHand = hand;
    }
    // Where the decision caches of the games live (the folder "Games" beside the program).
    TDecisionCache& Cache();
    const TDecisionCache& Cache() const;
    // Evaluations made since the hand engine was made, for tests and benchmarks.
    std::uint64_t EvaluatorCalls() const { return m_evaluatorCalls; }
    // Whether exchanges are counted on the dealer's completions tallied once per decision (on)
    // or every arrival evaluated on its own; the values are the same.
    void SetCountsDraws(bool on) { m_countsDraws = on; }

    // The strategies at hand: where the one of the design and settings as they stand answers,
    // the first decision takes its choice instead of valuing the offers, unless the choice
    // exchanges cards (which cards it does not keep) or the decision samples a draw. None: every
    // decision is computed.
    void SetStrategies(std::shared_ptr<const IStrategies> strategies) {
        m_strategies = std::move(strategies);
    }
    const std::shared_ptr<const IStrategies>& Strategies() const { return m_strategies; }

    // The game's name: its decision cache, and the title the window shows.
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
    void ListCandidates();
    bool DealerCanHaveGame();
    void MarkCardsForExchange();
    void SettleHand(std::string_view lossText);
    void DesignConflictCheck();
    bool CacheLookup();
    bool StrategyLookup();
    void CacheStore(int stage);  // the stage the press decided

    // The stage's offers, valued and added to the candidate table in the order it lists them.
    void AddOffers();
    TDecisionPoint CurrentPoint() const;
    // The number of random draws of the probabilistic method, read from the settings at the
    // first sampled draw of a press (a text that does not convert stops the press there).
    std::int32_t SampleCount();

    // Random cards from the deck go to the entry until `done`; counts them in `counted`.
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
    // header so that the many files that use the hand do not depend on them.
    struct TParts;
    std::unique_ptr<TParts> m_parts;
    std::shared_ptr<const IStrategies> m_strategies;
    std::uint64_t m_evaluatorCalls = 0;
    bool m_countsDraws = true;
    // Valid during one press.
    std::optional<TEvalRules> m_rules;
    std::optional<std::int32_t> m_sampleCount;
};

}  // namespace studlab
