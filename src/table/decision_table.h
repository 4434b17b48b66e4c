#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cards/card.h"
#include "cards/random_generator.h"
#include "design/game_design.h"
#include "table/card_place.h"
#include "table/hand.h"
#include "table/table_state.h"
#include "table/table_view.h"

namespace studlab {

// The decision window without its widgets: the commands behind its cards, buttons and menu,
// carried out on the hand engine (THand), whose state and view the window renders. It reads the
// app's one design and calculation settings afresh at every command.
class TDecisionTable final {
public:
    TDecisionTable(TGameDesign& design, TCalculationSettings& settings)
        : m_hand(design, settings) {}

    // A click on the card's picture (Image1Click .. Image52Click). Cards that lie in a slot or
    // were thrown away take no clicks.
    void ClickCard(TCardId id);
    // The card entry behind every click (THand::PlaceCard).
    void PlaceCard(RankIndex rank, SuitIndex suit) { m_hand.PlaceCard(rank, suit); }
    // Whether card clicks can still lay out the hand (THand::EntryOpen). Anything that clicks
    // cards until "РЕШЕНИЕ" shows must not start while it is false.
    bool EntryOpen() const { return m_hand.EntryOpen(); }
    // Toggles the fix mark of `slot` (1..5) of the player's or the dealer's row (Button4Click ..
    // Button8Click under the player's slots, Button9Click .. Button13Click under the dealer's).
    void ToggleFix(TPlaceKind row, int slot) { m_hand.ToggleFix(row, slot); }
    // Button2Click, "ПРОДОЛЖИТЬ": carries out the choice of the last decision and opens the next
    // stage. A cost that does not convert throws TConversionError before anything changes.
    void ContinueHand() { m_hand.Continue(); }
    // N2Click, "выбрать игру": loads the chosen design file (none: the dialog was cancelled, the
    // design and the game stay) and starts a fresh hand of the game. A file that cannot be read
    // throws TFileError and leaves the design, the game and the table as they were.
    void SelectGame(const std::optional<std::filesystem::path>& designFile);
    // N5Click, "новый расклад": starts a fresh hand, keeping the cards of fixed slots.
    void NewLayout();

    // Button1Click, "РЕШЕНИЕ" (THand::Decide).
    void Decide() { m_hand.Decide(); }
    // Button3Click, "комбинации": the dealer's completions per kind for the combinations window.
    void ShowCombinations() { m_hand.ShowCombinations(); }
    // Button15Click, "СДАТЬ СЛУЧАЙНО": a new layout dealt at random and played to its end, each
    // "РЕШЕНИЕ" and "ПРОДОЛЖИТЬ" told to ButtonPressed. Throws TRandomDealError when the hand
    // cannot be dealt.
    void RandomDeal();

    // Lets the window handle its pending events; run once at the start of every decision.
    void SetProcessPendingEvents(std::function<void()> process) {
        m_hand.BeforeDecision = std::move(process);
    }
    // Told of every button the random deal presses ("РЕШЕНИЕ", "ПРОДОЛЖИТЬ"), after the press.
    std::function<void(std::string_view button)> ButtonPressed;
    void SetClock(const IClock& clock) { m_hand.SetClock(clock); }
    TRandomGenerator& Random() { return m_hand.Random(); }
    void SetHandStream(std::uint64_t seed, std::uint64_t hand) { m_hand.SetHandStream(seed, hand); }
    TDecisionCache& Cache() { return m_hand.Cache(); }
    std::uint64_t EvaluatorCalls() const { return m_hand.EvaluatorCalls(); }
    void SetCountsDraws(bool on) { m_hand.SetCountsDraws(on); }

    // A design loaded elsewhere (the constructor's menu) names the current game as well.
    void SetGameName(std::string name) { m_hand.SetGameName(std::move(name)); }
    const std::optional<std::string>& GameName() const { return m_hand.GameName(); }
    bool GameChosen() const { return m_hand.GameChosen(); }

    bool MarkForExchange(TCardId id) { return m_hand.MarkForExchange(id); }
    void ClearExchangeMarks() { m_hand.ClearExchangeMarks(); }

    THand& Hand() { return m_hand; }
    const THand& Hand() const { return m_hand; }
    TTableState& State() { return m_hand.State(); }
    const TTableState& State() const { return m_hand.State(); }
    TTableView& View() { return m_hand.View(); }
    const TTableView& View() const { return m_hand.View(); }
    TGameDesign& Design() const { return m_hand.Design(); }
    TCalculationSettings& Settings() const { return m_hand.Settings(); }

private:
    THand m_hand;
};

}  // namespace studlab
