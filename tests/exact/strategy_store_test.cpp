#include "profit/exact/strategy_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cards/card_list.h"
#include "design/design_fields.h"
#include "profit/exact/exact_game.h"
#include "profit/exact/exact_job.h"
#include "profit/exact/strategy_shelf.h"
#include "support/small_designs.h"
#include "support/test_folder.h"
#include "support/test_game.h"
#include "text/number_text.h"

namespace studlab {
namespace {

TCardTable Cards(std::string_view text) {
    return TableOf(ParseCardList(text));
}

TCardTable PermuteSuits(TCardTable cards, const std::array<int, 4>& to) {
    TCardTable out;
    cards.ForEach([&](TCardId id) {
        out.Add(CardIdOf(RankIndexOf(id), to[static_cast<std::size_t>(SuitIndexOf(id) - 1)]));
    });
    return out;
}

// A random first layout: `dealerCards` dealer cards and five player cards.
std::pair<TCardTable, TCardTable> RandomLayout(int dealerCards, std::mt19937& rng) {
    std::vector<TCardId> deck(kCards);
    std::iota(deck.begin(), deck.end(), 1);
    std::shuffle(deck.begin(), deck.end(), rng);
    TCardTable dealer;
    TCardTable player;
    for (int i = 0; i < dealerCards; ++i) dealer.Add(deck[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 5; ++i) player.Add(deck[static_cast<std::size_t>(dealerCards + i)]);
    return {player, dealer};
}

// Every class, in the order Visit takes them, is found at its own position, and so is every
// layout of it: each suit permutation of the representative.
TEST(LayoutClassIndex, EveryLayoutOfAClassFindsItsPositionInTheVisit) {
    for (int dealerCards : {0, 1}) {
        SCOPED_TRACE(dealerCards);
        const TLayoutClasses classes(dealerCards);
        std::int64_t at = 0;
        std::int64_t wrong = 0;
        std::int64_t members = 0;
        classes.Visit({}, classes.ClassCount(), [&](const TLayoutClass& layout) {
            if (classes.IndexOf(layout.Player, layout.Dealer) != at) ++wrong;
            // The suit permutations of every 97th class (and the cyclic shift of every class).
            std::array<int, 4> to = {1, 2, 3, 4};
            if (at % 97 == 0) {
                do {
                    if (classes.IndexOf(PermuteSuits(layout.Player, to),
                                        PermuteSuits(layout.Dealer, to)) != at) {
                        ++wrong;
                    }
                    ++members;
                } while (std::next_permutation(to.begin(), to.end()));
            } else if (classes.IndexOf(PermuteSuits(layout.Player, {2, 3, 4, 1}),
                                       PermuteSuits(layout.Dealer, {2, 3, 4, 1})) != at) {
                ++wrong;
            }
            ++at;
        });
        EXPECT_EQ(at, classes.ClassCount());
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(members, 0);
    }
    // Two open dealer cards: the classes at the start of spread batches.
    const TLayoutClasses two(2);
    const std::int64_t step = two.ClassCount() / 5000 + 1;
    const std::vector<TLayoutCursor> starts = two.BatchStarts(step);
    for (std::size_t b = 0; b < starts.size(); ++b) {
        two.Visit(starts[b], 2, [&, n = std::int64_t{0}](const TLayoutClass& layout) mutable {
            const std::int64_t expected = static_cast<std::int64_t>(b) * step + n++;
            ASSERT_EQ(two.IndexOf(PermuteSuits(layout.Player, {4, 1, 3, 2}),
                                  PermuteSuits(layout.Dealer, {4, 1, 3, 2})),
                      expected);
        });
    }
}

TEST(LayoutClassIndex, CardsThatMakeNoFirstLayoutHaveNoClass) {
    const TLayoutClasses classes(1);
    const struct {
        const char* Name;
        const char* Player;
        const char* Dealer;
    } cases[] = {
        {"four player cards", "Ah Kh Qh Jh", "2s"},
        {"six player cards", "Ah Kh Qh Jh 10h 9h", "2s"},
        {"no dealer card", "Ah Kh Qh Jh 10h", ""},
        {"two dealer cards", "Ah Kh Qh Jh 10h", "2s 3s"},
        {"a card on both sides", "Ah Kh Qh Jh 10h", "Ah"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classes.IndexOf(Cards(c.Player), Cards(c.Dealer)), -1) << c.Name;
    }
}

class StrategyStore : public ::testing::Test {
protected:
    // A complete store of the games with no open dealer card, with made-up choices.
    static TStrategyStore Filled() {
        TStrategyStore store("0123456789abcdef", 0);
        for (std::int64_t i = 0; i < store.ClassCount(); ++i) {
            store.Record(i, kFirstChoiceCodes[static_cast<std::size_t>(i * 7 % 11)]);
        }
        return store;
    }
    std::string Bytes(const std::filesystem::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Write(const std::filesystem::path& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

    testing::TTestFolder m_folder;
};

TEST_F(StrategyStore, ASavedStoreLoadsWithEveryChoice) {
    const TStrategyStore saved = Filled();
    const auto path = m_folder / "game.store";
    saved.Save(path);
    EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(path)),
              TStrategyStore::FileSize(saved.ClassCount()));
    for (const std::string_view fingerprint : {"0123456789abcdef", ""}) {
        const TStrategyStore loaded = TStrategyStore::Load(path, fingerprint);
        EXPECT_EQ(loaded.Fingerprint(), "0123456789abcdef");
        EXPECT_EQ(loaded.DealerCards(), 0);
        EXPECT_EQ(loaded.Missing(), 0);
        std::int64_t differ = 0;
        for (std::int64_t i = 0; i < saved.ClassCount(); ++i)
            differ += loaded.ChoiceOf(i) != saved.ChoiceOf(i);
        EXPECT_EQ(differ, 0);
    }
    // One open dealer card: 5,649,150 classes, a byte each.
    TStrategyStore one("fedcba9876543210", 1);
    for (std::int64_t i = 0; i < one.ClassCount(); ++i) one.Record(i, i % 3 == 0 ? "4" : "1");
    one.Save(path);
    EXPECT_EQ(std::filesystem::file_size(path), 5649150U + 96U);
    const TStrategyStore loaded = TStrategyStore::Load(path, "fedcba9876543210");
    EXPECT_EQ(loaded.DealerCards(), 1);
    EXPECT_EQ(loaded.ChoiceOf(3), "4");
    EXPECT_EQ(loaded.ChoiceOf(one.ClassCount() - 1), one.ChoiceOf(one.ClassCount() - 1));
}

TEST_F(StrategyStore, APartialStoreIsNeverWritten) {
    TStrategyStore store("0123456789abcdef", 0);
    store.Record(0, "2");
    EXPECT_EQ(store.Missing(), store.ClassCount() - 1);
    const auto path = m_folder / "partial.store";
    EXPECT_THROW(store.Save(path), TStrategyStoreError);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_THROW(store.Record(store.ClassCount(), "2"), std::invalid_argument);
    EXPECT_THROW(store.Record(0, "11"), std::invalid_argument);  // a later decision's code
    EXPECT_EQ(store.Lookup(Cards("Ah Kh Qh Jh 9c"), Cards("2s")), std::nullopt);
}

// A file is refused unless it is exactly a store of this design: damaged, cut or lengthened
// anywhere, or of another design, it never loads (and never loads with other choices).
TEST_F(StrategyStore, RefusesEveryFileThatIsNotExactlyTheStoreOfTheDesign) {
    const auto path = m_folder / "game.store";
    Filled().Save(path);
    const std::string good = Bytes(path);
    const auto set = [&](std::size_t at, char c) {
        std::string b = good;
        b[at] = c;
        return b;
    };
    const std::size_t payload = 44 + 44;
    const struct {
        const char* Name;
        std::string Bytes;
        const char* Fingerprint = "0123456789abcdef";
    } cases[] = {
        {"empty", ""},
        {"another file", "studlab exact checkpoint 3\nfingerprint 0\n"},
        {"the magic alone", good.substr(0, 8)},
        {"cut in the heading", good.substr(0, 40)},
        {"cut in the table of codes", good.substr(0, 60)},
        {"cut in the choices", good.substr(0, good.size() / 2)},
        {"without its check sum", good.substr(0, good.size() - 8)},
        {"one byte short", good.substr(0, good.size() - 1)},
        {"one byte more", good + '\0'},
        {"another version", set(8, 2)},
        {"four open dealer cards", set(12, 4)},
        {"nine open dealer cards", set(12, 9)},
        {"a fingerprint that is not hexadecimal", set(16, 'x')},
        {"another class count", set(32, static_cast<char>(good[32] + 1))},
        {"no codes", set(40, 0)},
        {"a code that no first decision makes", set(44 + 4, '7')},
        {"a choice outside the table", set(payload + 5, 11)},
        {"a choice changed to another code",
         set(payload + 5, static_cast<char>((good[payload + 5] + 1) % 11))},
        {"the check sum changed",
         set(good.size() - 3, static_cast<char>(good[good.size() - 3] ^ 1))},
        {"another design", good, "fedcba9876543210"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Write(path, c.Bytes);
        try {
            TStrategyStore::Load(path, c.Fingerprint);
            ADD_FAILURE() << "loaded";
        } catch (const TStrategyStoreError& e) {
            EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(TStrategyStore::Load(m_folder / "missing.store", ""), TStrategyStoreError);
    EXPECT_THROW(TStrategyStore::Load(m_folder.Path(), ""), TStrategyStoreError);
}

// The first choice the decision window makes: the layout clicked in and "РЕШЕНИЕ" pressed.
class TWindowChoice {
public:
    TWindowChoice(const TGameDesign& design, const TCalculationSettings& settings) {
        m_game.Design = design;
        m_game.Settings = settings;
        m_game.Settings.UseCacheTable = false;
        m_game.Table.SetGameName("strategy");
        m_game.Table.SelectGame(std::nullopt);
    }
    std::string Choice(TCardTable player, TCardTable dealer) {
        TDecisionTable& t = m_game.Table;
        t.NewLayout();
        dealer.ForEach([&](TCardId id) { t.ClickCard(id); });
        player.ForEach([&](TCardId id) { t.ClickCard(id); });
        EXPECT_TRUE(t.View().DecideVisible);
        t.Decide();
        return t.State().Choice(1);
    }

private:
    testing::TTestGame m_game;
};

// The store a complete exact run records holds, for any first layout, the choice the decision
// window makes on it; and the first decisions valued on their own (what a run resumed from its
// checkpoint adds) are the same as those recorded while playing.
TEST(StrategyStoreIdentity, TheStoredChoiceIsTheDecisionWindowsChoice) {
    TGameDesign boughtCard;  // the standard game with no open dealer card: fold, bet or buy
    boughtCard.DealerOpenCards = std::string("0");
    const struct {
        const char* Name;
        TGameDesign Design;
        bool BestPlay;
        std::int64_t Complete;  // every n-th class valued again on its own
    } cases[] = {
        {"fold or bet", testing::FoldOrBet(), true, 1},
        {"fold, bet or buy a card", boughtCard, false, 53},
    };
    std::mt19937 rng(2024);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TCalculationSettings settings;
        TExactGame game(c.Design, settings);
        game.SetWithBestPlay(c.BestPlay);
        TStrategyStore store(StrategyStoreFingerprint(c.Design, settings), game.DealerOpenCards());
        TExactRunOptions options;
        options.Threads = 2;
        options.BatchSize = 1000;
        const TExactRunResult run = RunExactAnalysis(
            store.Classes(), [&] { return game.NewPlay(&store); }, options);
        ASSERT_EQ(run.Sums.Classes, store.ClassCount());
        ASSERT_EQ(store.Missing(), 0);

        TStrategyStore part(store.Fingerprint(), store.DealerCards());
        for (std::int64_t i = 0; i < store.ClassCount(); ++i) {
            if (i % c.Complete != 0) part.Record(i, *store.ChoiceOf(i));
        }
        ASSERT_TRUE(CompleteStrategyStore(game, part, 2));
        std::int64_t differ = 0;
        for (std::int64_t i = 0; i < store.ClassCount(); i += c.Complete)
            differ += part.ChoiceOf(i) != store.ChoiceOf(i);
        EXPECT_EQ(differ, 0);

        TWindowChoice window(c.Design, settings);
        std::array<int, kFirstChoiceCodes.size()> seen{};
        for (int hand = 0; hand < 400; ++hand) {
            const auto [player, dealer] = RandomLayout(store.DealerCards(), rng);
            const std::optional<std::string_view> stored = store.Lookup(player, dealer);
            ASSERT_TRUE(stored);
            ASSERT_EQ(*stored, window.Choice(player, dealer))
                << JoinCardNames(player) << " / " << JoinCardNames(dealer);
            ++seen[static_cast<std::size_t>(
                std::find(kFirstChoiceCodes.begin(), kFirstChoiceCodes.end(), *stored) -
                kFirstChoiceCodes.begin())];
        }
        // The layouts met more than one choice: the fold and the bet at least.
        EXPECT_GT(seen[1], 0);
        EXPECT_GT(seen[2], 0);
    }
}

// Heavier designs on a reduced problem: only the classes of the layouts checked are valued (every
// other class is filled with a stand-in first), as a resumed run values the classes it did not
// play.
TEST(StrategyStoreIdentity, TheFirstChoiceValuedOnItsOwnIsTheDecisionWindowsChoice) {
    const struct {
        const char* Name;
        std::vector<std::string> Design;  // NAME=VALUE
    } cases[] = {
        {"the standard game", {}},
        {"looking ahead", {"LookAhead=YES"}},
        {"insurance and exchanges of one to three cards",
         {"DealerOpenCards=0", "StageActions[1][paBetInsured]=YES", "StageActions[1][paBuyCard]=NO",
          "StageActions[1][paExchange1]=YES", "StageActions[1][paExchange2]=YES",
          "StageActions[1][paExchange3]=YES", "StageActions[2][paBetInsured]=YES",
          "ExchangeCost[1][2]=0,7", "Insurable[ckPair]=YES"}},
        {"two cards bought, a cheap dealer's game",
         {"StageActions[1][paBuyCard]=NO", "StageActions[1][paBuyTwoCards]=YES",
          "StageActions[2][paBuyDealerGame]=YES", "BuyCost[1][2]=0,9", "BuyDealerGameCost=0,25"}},
    };
    std::mt19937 rng(99);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGameDesign design;
        TCalculationSettings settings;
        for (const std::string& a : c.Design) SetDesignAssignment(design, settings, a);
        const TExactGame game(design, settings);
        TStrategyStore store(StrategyStoreFingerprint(design, settings), game.DealerOpenCards());
        std::vector<std::pair<TCardTable, TCardTable>> layouts;
        std::vector<bool> checked(static_cast<std::size_t>(store.ClassCount()));
        for (int hand = 0; hand < 40; ++hand) {
            layouts.push_back(RandomLayout(store.DealerCards(), rng));
            checked[static_cast<std::size_t>(
                store.Classes().IndexOf(layouts.back().first, layouts.back().second))] = true;
        }
        for (std::int64_t i = 0; i < store.ClassCount(); ++i) {
            if (!checked[static_cast<std::size_t>(i)]) store.Record(i, "");
        }
        ASSERT_TRUE(CompleteStrategyStore(game, store, 2));
        TWindowChoice window(design, settings);
        for (const auto& [player, dealer] : layouts) {
            EXPECT_EQ(store.Lookup(player, dealer), window.Choice(player, dealer))
                << JoinCardNames(player) << " / " << JoinCardNames(dealer);
        }
    }
}

// The window chooses among its candidates' texts read back, the exact analysis among the
// ten-thousandths they were written from, divided by 10000. The store is the window's choice only
// while both order every pair of values alike and tie exactly where the other ties: each text reads
// back as that quotient, up to the largest value a design's amounts (at most 1e9 antes) can give
// a bet and more (10^11 antes, where the general format's 15 digits still hold four decimals).
TEST(StrategyStoreIdentity, ShownValuesReadBackAsTheValuesTheAnalysisCompares) {
    std::vector<std::int64_t> values;
    for (std::int64_t v = -300000; v <= 300000; ++v) values.push_back(v);
    std::mt19937_64 rng(5);
    for (std::int64_t scale = 10; scale <= 1'000'000'000'000'000; scale *= 10) {
        for (int i = 0; i < 2000; ++i) {
            const auto v = static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(scale));
            values.push_back(v);
            values.push_back(-v);
        }
        values.push_back(scale - 1);
        values.push_back(1 - scale);
    }
    std::int64_t differ = 0;
    for (const std::int64_t v : values) {
        if (ParseDesignNumber(FormatTenThousandths(v)) != static_cast<double>(v) / 10000.0) {
            if (++differ < 5) ADD_FAILURE() << v << " shown as " << FormatTenThousandths(v);
        }
    }
    EXPECT_EQ(differ, 0);
}

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

// Strategies that count the first decisions they answered, from any thread.
class TCountingStrategies final : public IStrategies {
public:
    explicit TCountingStrategies(std::shared_ptr<const IStrategies> inner)
        : m_inner(std::move(inner)) {}
    const IFirstChoices* For(const std::string& fingerprint) const override {
        const IFirstChoices* found = m_inner->For(fingerprint);
        if (found != nullptr) ++m_answered;
        return found;
    }
    std::int64_t Answered() const { return m_answered; }

private:
    std::shared_ptr<const IStrategies> m_inner;
    mutable std::atomic<std::int64_t> m_answered{0};
};

// With the game's store, the profitability check plays the same hands to the same results as
// without it (the first decisions it looks up are those it would have valued), and the decision
// window says where a decision came from the store.
TEST(StrategyStoreIdentity, TheCheckPlaysTheSameHandsWithTheStore) {
    TGameDesign design;  // the standard game with no open dealer card: fold, bet or buy
    design.DealerOpenCards = std::string("0");
    const TCalculationSettings settings;
    const TExactGame exact(design, settings);
    auto store = std::make_shared<TStrategyStore>(StrategyStoreFingerprint(design, settings),
                                                  exact.DealerOpenCards());
    auto shelf = std::make_shared<TStrategyShelf>();
    const auto counted = std::make_shared<TCountingStrategies>(shelf);
    TExactRunOptions options;
    options.Threads = 2;
    options.BatchSize = 1000;
    RunExactAnalysis(
        store->Classes(), [&] { return exact.NewPlay(store.get()); }, options);
    ASSERT_EQ(store->Missing(), 0);
    shelf->Add(store);

    std::vector<std::vector<std::int64_t>> results;
    for (const bool withStore : {false, true}) {
        testing::TTestGame game;
        game.Design = design;
        game.Table.SetGameName("strategy");
        game.Table.SelectGame(std::nullopt);
        if (withStore) game.Table.Hand().SetStrategies(counted);
        game.Profit.Settings().HandCount = "3000";
        game.Profit.Settings().Seed = "7";
        game.Profit.Settings().Threads = 2;
        game.Profit.RunSimulation();
        ASSERT_EQ(game.Profit.LastRunEnd(), TRunEnd::Completed);
        results.push_back(game.Profit.HandResults());

        game.Table.NewLayout();
        for (TCardId id : ParseCardList("Qc Qh 7h 6s 3c")) game.Table.ClickCard(id);
        game.Table.Decide();
        EXPECT_EQ(game.Table.View().FromStrategy, withStore);
        EXPECT_EQ(game.Table.State().Choice1, "2");
        game.Table.ContinueHand();
        EXPECT_FALSE(game.Table.View().FromStrategy);
    }
    EXPECT_EQ(results[0], results[1]);
    // The workers' hands asked the store (the window's one decision besides).
    EXPECT_GT(counted->Answered(), 1000);
}

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

// A complete exact analysis in the background keeps its strategy in the shelf's folder, where
// the shelf of a later start finds it and the hands of its design take their first decisions
// from it; a file that is not a store is passed over, and those decisions are valued.
TEST(StrategyShelf, TheAnalysisKeepsItsStrategyWhereTheHandsFindIt) {
    const testing::TTestFolder folder;
    const TGameDesign design = testing::FoldOrBet();
    const TCalculationSettings settings;
    const std::string fingerprint = StrategyStoreFingerprint(design, settings);
    {
        TExactJob job;
        job.KeepStrategiesOn(std::make_shared<TStrategyShelf>(folder.Path()));
        job.Start(design, settings);
        while (job.Running()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const std::optional<TExactJob::TResult> result = job.Result();
        ASSERT_TRUE(result);
        ASSERT_EQ(result->Error, "");
        EXPECT_EQ(result->StrategyError, "");
    }
    ASSERT_TRUE(std::filesystem::exists(folder.Path() / (fingerprint + ".strategy")));

    for (const bool damaged : {false, true}) {
        if (damaged) {
            std::ofstream(folder.Path() / (fingerprint + ".strategy"), std::ios::binary)
                << "not a store";
        }
        auto shelf = std::make_shared<TStrategyShelf>(folder.Path());
        EXPECT_EQ(shelf->For(fingerprint) == nullptr, damaged);
        testing::TTestGame game;
        game.Design = design;
        game.Table.Hand().SetStrategies(shelf);
        game.Table.SetGameName("strategy");
        game.Table.SelectGame(std::nullopt);
        for (TCardId id : ParseCardList("Qc Qh 7h 6s 3c")) game.Table.ClickCard(id);
        game.Table.Decide();
        EXPECT_EQ(game.Table.View().FromStrategy, !damaged);
        EXPECT_EQ(game.Table.State().Choice1, "2");
    }
}

}  // namespace
}  // namespace studlab
