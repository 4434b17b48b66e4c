// The random hand: a layout dealt at random and played to its end, decision by decision, as
// "СДАТЬ СЛУЧАЙНО" and the profitability check play it.

#include <cmath>

#include "design/design_numbers.h"
#include "table/card_place.h"
#include "table/hand.h"
#include "table/table_prompts.h"
#include "text/number_text.h"

namespace studlab {
namespace {

// A hand has at most five decisions; more presses mean it can no longer be settled.
constexpr int kMaxPresses = 12;
// Far more random picks than any entry needs; reaching it means no card can be placed.
constexpr int kMaxPicks = 1'000'000;

}  // namespace

void THand::DealRandomCardsUntil(const std::function<bool()>& done, int* counted) {
    for (int picks = 0; !done(); ++picks) {
        bool deckHasCards = false;
        for (TCardId id = 1; id <= kCards && !deckHasCards; ++id)
            deckHasCards = m_state.PlaceOf(id).InDeck();
        if (!EntryOpen() || !deckHasCards || picks > kMaxPicks) {
            throw TRandomDealError(
                "Раздача не может быть продолжена: на стол нельзя положить карту");
        }
        const TCardId id = static_cast<TCardId>(m_random.Below(kCards)) + 1;
        const TCardPlace& place = m_state.PlaceOf(id);
        if (!place.InDeck()) continue;
        if (place.Clickable) PlaceCard(RankIndexOf(id), SuitIndexOf(id));
        if (counted != nullptr) ++*counted;
    }
}

void THand::PlayRandomHand(const std::function<void()>& decided,
                           const std::function<void()>& continued) {
    if (m_settings.SameSequence) {
        m_random.ContinueSeries();
    } else {
        if (!m_streamSeed) m_streamSeed = MixBits64(m_clock->HighResolutionTicks());
        m_random.StartHandStream(*m_streamSeed, m_nextHand++);
    }
    m_state.HandResult = kHandNotSettled;
    if (GameChosen()) StartHand(true);
    if (!GameChosen()) throw TRandomDealError("Сначала выберите игру в меню \"опции\"");
    if (!EntryOpen())
        throw TRandomDealError("Раздача невозможна: " + PromptOnOneLine(m_view.Prompt));

    std::optional<int> boxCardsWanted;
    int boxCards = 0;
    for (int presses = 0; m_state.HandResult == kHandNotSettled; ++presses) {
        if (presses == kMaxPresses) throw TRandomDealError("Раздача не доигрывается до конца");
        DealRandomCardsUntil([this] { return EntryComplete(); }, nullptr);
        if (!boxCardsWanted) {
            // The further boxes at the table get five cards each, dealt once as known out cards.
            const double boxes = ReadRealField(m_design, m_settings, m_settings.PlayingBoxes);
            int inDeck = 0;
            for (TCardId id = 1; id <= kCards; ++id) inDeck += m_state.PlaceOf(id).InDeck();
            if (boxes < 1 || boxes != std::floor(boxes) || 5 * (boxes - 1) > inDeck) {
                throw TRandomDealError(
                    "Кол-во играющих боксов \"" + m_settings.PlayingBoxes +
                    "\" не подходит: нужно целое число от 1, и на все боксы должно хватить карт");
            }
            boxCardsWanted = static_cast<int>(5 * boxes - 5);
        }
        DealRandomCardsUntil([&] { return boxCards == *boxCardsWanted; }, &boxCards);
        Decide();
        if (decided) decided();
        if (m_state.HandResult == kHandNotSettled) {
            Continue();
            if (continued) continued();
        }
    }
    m_state.LastHandResult = m_state.HandResult;
}

}  // namespace studlab
