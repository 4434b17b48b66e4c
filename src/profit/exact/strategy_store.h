#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_table.h"
#include "design/game_design.h"
#include "profit/exact/layout_classes.h"
#include "table/first_choices.h"

namespace studlab {

class TExactGame;

// The first decision of every first layout of a game, worked out once by the exact analysis and
// kept, so that a run of hands looks its first choice up instead of valuing it.
//
// The first decision depends only on the first layout (the player's five cards and the dealer's
// open cards, nothing else known) and on the design and settings, and is the same for the layouts
// of one class (a permutation of the suits): the store holds one choice per class of
// TLayoutClasses, in the order of its Visit, as the choice code the decision records
// (TTableState::Choice(1): kFirstChoiceCodes). The choice is the exact analysis's: the draws the
// decision window samples (exchanges of four and five cards, and every sampled draw of the
// probabilistic method) it counts over every arrival, so for such designs the window's own choice
// may differ by chance; for every other design it is the window's choice.
//
// The file (docs/formats.md): a heading with a magic, a version, the number of open dealer cards,
// the design's fingerprint (DesignFingerprint) and the number of classes, the table of choice
// codes, one byte per class indexing that table, and a check sum over all of it. Loading refuses
// anything else with a message.

// A store file that cannot be read, written or trusted, or that belongs to another design.
class TStrategyStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The codes a first decision can record, in the order the store indexes them: nothing offered
// (empty), the fold, the bet, the insured bet, one and two cards bought, one to five exchanged.
inline constexpr std::array<std::string_view, 11> kFirstChoiceCodes = {"",  "1", "2", "3", "4", "5",
                                                                       "6", "7", "8", "9", "10"};

class TStrategyStore final : public IFirstChoices {
public:
    // Every class of first layouts with `dealerCards` (0..4) open dealer cards, none recorded
    // yet, for the design and settings of `fingerprint` (DesignFingerprint).
    TStrategyStore(std::string fingerprint, int dealerCards);

    const std::string& Fingerprint() const { return m_fingerprint; }
    int DealerCards() const { return m_classes.DealerCards(); }
    const TLayoutClasses& Classes() const { return m_classes; }
    std::int64_t ClassCount() const { return m_classes.ClassCount(); }

    // Records the first choice of class `index` (0 .. ClassCount() - 1). Threads that share the
    // store may record different classes at once without a lock. Throws std::invalid_argument
    // for an index out of range or a code no first decision records.
    void Record(std::int64_t index, std::string_view code);
    bool Recorded(std::int64_t index) const;
    // Classes not recorded yet.
    std::int64_t Missing() const;

    // The recorded choice of the class of a first layout: five player cards and DealerCards()
    // dealer cards, none shared, nothing else known. Nothing for other cards and for a class not
    // recorded. Takes well under a microsecond.
    std::optional<std::string_view> Lookup(TCardTable player, TCardTable dealer) const;
    // The same, for the hand engine's first decision.
    std::optional<std::string_view> FirstChoice(TCardTable player,
                                                TCardTable dealer) const override {
        return Lookup(player, dealer);
    }
    // The recorded choice of class `index`; nothing when out of range or not recorded.
    std::optional<std::string_view> ChoiceOf(std::int64_t index) const;

    // The size in bytes of the file of a store of `classes` classes.
    static std::int64_t FileSize(std::int64_t classes);
    // Writes the store to `path`. Throws TStrategyStoreError when a class is not recorded (a
    // partial store is never written) or the file cannot be written.
    void Save(const std::filesystem::path& path) const;
    // Reads a store written by Save. `fingerprint` empty takes the design the file names;
    // otherwise the file must belong to it. Throws TStrategyStoreError, naming the file and the
    // reason, for a file that cannot be read, is not a store, is of another version, another
    // design or another number of open dealer cards, is cut short or too long, or whose bytes
    // do not match its check sum.
    static TStrategyStore Load(const std::filesystem::path& path, std::string_view fingerprint);

private:
    static constexpr std::uint8_t kNotRecorded = 0xFF;
    TStrategyStore(std::string fingerprint, TLayoutClasses classes);

    std::string m_fingerprint;
    TLayoutClasses m_classes;
    std::vector<std::uint8_t> m_choices;  // per class, an index into kFirstChoiceCodes
};

// The fingerprint a store of the design and settings carries: DesignFingerprint.
std::string StrategyStoreFingerprint(const TGameDesign& design,
                                     const TCalculationSettings& settings);

// Values the first decision of every class the store has not recorded, as the exact analysis
// values it, on `threads` threads (0: every core): the classes a run resumed from its checkpoint
// did not play. Returns false when `stop` was set before the last class (the store then has
// gaps). Throws TExactRunError when the first choice of a class depends on which suit is which.
bool CompleteStrategyStore(const TExactGame& game, TStrategyStore& store, int threads,
                           const std::atomic<bool>* stop = nullptr);

}  // namespace studlab
