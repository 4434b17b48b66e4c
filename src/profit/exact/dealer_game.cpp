// The dealer's game bought or declined once his hand is shown, counted over his completions.

#include "profit/exact/dealer_game.h"

#include <algorithm>
#include <bit>

#include "cards/dealer_completions.h"
#include "cards/five_card_rank.h"
#include "profit/exact/exact_game.h"
#include "table/draw_sums.h"
#include "table/hand_rules.h"

namespace studlab {
namespace {

// The ranks of a hand, three bits of count per rank.
std::uint64_t RankCounts(TCardTable cards) {
    std::uint64_t key = 0;
    cards.ForEach([&](TCardId id) { key += std::uint64_t{1} << (3 * (RankIndexOf(id) - 1)); });
    return key;
}

// The suit all the cards share, 1..4, or 0.
std::uint64_t SharedSuit(TCardTable cards) {
    int suit = -1;
    cards.ForEach([&](TCardId id) {
        const int s = SuitIndexOf(id);
        suit = suit == -1 || suit == s ? s : 0;
    });
    return suit < 0 ? 0 : static_cast<std::uint64_t>(suit);
}

bool SameKey(const TDecisionPoint& a, const TDecisionPoint& b) {
    return a.Stage == b.Stage && a.Player == b.Player && a.Dealer == b.Dealer && a.Out == b.Out &&
           a.Balance == b.Balance && a.ExtraStake == b.ExtraStake;
}

TEvalTallies& operator+=(TEvalTallies& a, const TEvalTallies& b) {
    a.DealerOutcomes += b.DealerOutcomes;
    a.DealerWins += b.DealerWins;
    a.PlayerWins += b.PlayerWins;
    a.Ties += b.Ties;
    a.DealerNoGame += b.DealerNoGame;
    return a;
}

// What the endings of `t` bring in all.
TWideSum Sum(const TEvalTallies& t, const TOutcomePayouts& pay) {
    return TWideSum{t.DealerWins} * pay.DealerWins + TWideSum{t.PlayerWins} * pay.PlayerWins +
           TWideSum{t.Ties} * pay.Ties + TWideSum{t.DealerNoGame} * pay.DealerNoGame;
}

TEvalTallies Times(TEvalTallies t, TCount n) {
    t.DealerOutcomes *= n;
    t.DealerWins *= n;
    t.PlayerWins *= n;
    t.Ties *= n;
    t.DealerNoGame *= n;
    return t;
}

}  // namespace

// Whether five cards give the dealer a game: by their strength where the strengths serve the
// rules, else by the evaluator's counting, once per ranks and flush.
bool TDealerGameCounter::HasGame(TCardTable five) {
    const TCountingRules& rules = m_game.Rules().Counting;
    if (TDealerCompletions::Serves(rules)) return DealerGameAt(RankOfFive(five), rules);
    const std::uint64_t key =
        RankCounts(five) | (SharedSuit(five) != 0 ? std::uint64_t{1} << 40 : 0);
    const auto found = m_gameOf.find(key);
    if (found != m_gameOf.end()) return found->second;
    const bool game = TCompletionCounts(five, five.Complement(), rules).GameTotal() != 0;
    m_gameOf.emplace(key, game);
    return game;
}

// Every multiset of five ranks (each at most four times) that some hand without a game has.
void TDealerGameCounter::MakeShapes() {
    m_shapesMade = true;
    TShape shape;
    auto visit = [&](auto& self, int rank, int left) -> void {
        if (rank > kRanks) {
            if (left != 0) return;
            TCardTable plain;
            TCardTable flush;
            shape.Ranks = 0;
            shape.Distinct = true;
            for (RankIndex r = 1; r <= kRanks; ++r) {
                const int n = shape.Count[static_cast<std::size_t>(r)];
                if (n == 0) continue;
                // Five different ranks in two suits make no flush.
                if (n == 1) plain.Add(CardIdOf(r, shape.Ranks == 0 ? 2 : 1));
                for (int i = 1; n > 1 && i <= n; ++i) plain.Add(CardIdOf(r, i));
                shape.Ranks |= static_cast<std::uint16_t>(1U << (r - 1));
                shape.Distinct = shape.Distinct && n == 1;
                flush.Add(CardIdOf(r, 1));
            }
            shape.GameWithoutFlush = HasGame(plain);
            shape.GameWithFlush = !shape.Distinct || HasGame(flush);
            if (!shape.GameWithoutFlush || !shape.GameWithFlush) m_shapes.push_back(shape);
            return;
        }
        for (int n = 0; n <= std::min(4, left); ++n) {
            shape.Count[static_cast<std::size_t>(rank)] = static_cast<std::uint8_t>(n);
            self(self, rank + 1, left - n);
        }
        shape.Count[static_cast<std::size_t>(rank)] = 0;
    };
    visit(visit, 1, 5);
}

namespace {

// The suit that every card so far shares: none yet, 1..4, or several.
constexpr int kNoSuitYet = 0;
constexpr int kSeveralSuits = 5;
constexpr int kSuitStates = 6;

// The number of suits in a set of them (four bits).
constexpr std::array<int, 16> kSuitCount = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};

int Join(int state, unsigned suits) {
    if (suits == 0) return state;
    if (kSuitCount[suits] > 1) return kSeveralSuits;
    const int suit = std::countr_zero(suits) + 1;
    return state == kNoSuitYet || state == suit ? suit : kSeveralSuits;
}

}  // namespace

// The dealer's hands of one shape, rank by rank in scan order, counted by the suit all his five
// cards share (a flush) and the suit his four kept cards share; each count keeps one hand as its
// example. A rank's cards are his open ones and any of the unseen.
void TDealerGameCounter::CountShape(const TShape& shape,
                                    const std::array<std::uint8_t, kRanks + 1>& open,
                                    const std::array<std::uint8_t, kRanks + 1>& free,
                                    TDealerGameTally& tally) {
    const bool lowest = m_game.OfferOptions().DealerBuysLowest;
    // The swap card's rank: his highest, or his lowest.
    const int swapRank =
        lowest ? 16 - std::countl_zero(shape.Ranks) : std::countr_zero(shape.Ranks) + 1;
    if (shape.Distinct) {
        // Five ranks, one card each: the swap card is the one of its rank, and the counts are
        // products of each rank's suits.
        std::array<unsigned, kRanks + 1> choices{};
        unsigned sharedByKept = 0xF;  // the suits every kept rank can take
        TCount keptWays = 1;
        for (RankIndex r = 1; r <= kRanks; ++r) {
            const auto at = static_cast<std::size_t>(r);
            if (shape.Count[at] == 0) continue;
            const unsigned must = open[at];
            const unsigned c = must != 0 ? (kSuitCount[must] == 1 ? must : 0U) : must | free[at];
            if (c == 0) return;
            choices[at] = c;
            if (r == swapRank) continue;
            keptWays *= kSuitCount[c];
            sharedByKept &= c;
        }
        const unsigned swapSuits = choices[static_cast<std::size_t>(swapRank)];
        const TCount swapWays = kSuitCount[swapSuits];
        auto kept = [&](int suit) {
            TCardTable cards;
            for (RankIndex r = 1; r <= kRanks; ++r) {
                const unsigned c = choices[static_cast<std::size_t>(r)];
                if (c == 0 || r == swapRank) continue;
                const unsigned one =
                    suit != 0 && ((c >> (suit - 1)) & 1U) != 0 ? 1U << (suit - 1) : c & (~c + 1);
                cards.Add(CardIdOf(r, std::countr_zero(one) + 1));
            }
            return cards;
        };
        TCount sharing = 0;
        for (int suit = 1; suit <= kSuits; ++suit) {
            if (((sharedByKept >> (suit - 1)) & 1U) == 0) continue;
            ++sharing;
            const TCount flush = (swapSuits >> (suit - 1)) & 1U;
            TCount hands = 0;
            if (!shape.GameWithFlush) hands += flush;
            if (!shape.GameWithoutFlush) hands += swapWays - flush;
            if (hands != 0) AddKept(kept(suit), hands, tally);
        }
        if (shape.GameWithoutFlush || keptWays == sharing) return;
        // Kept cards of several suits: one rank takes a suit the others do not all have.
        TCardTable mixed = kept(0);
        if (const auto first = static_cast<int>(SharedSuit(mixed)); first != 0) {
            for (RankIndex r = 1; r <= kRanks; ++r) {
                const unsigned c = choices[static_cast<std::size_t>(r)];
                if (c == 0 || r == swapRank || kSuitCount[c] < 2) continue;
                const unsigned other = c & ~(1U << (first - 1));
                mixed.Remove(CardIdOf(r, first));
                mixed.Add(CardIdOf(r, std::countr_zero(other) + 1));
                break;
            }
        }
        AddKept(mixed, (keptWays - sharing) * swapWays, tally);
        return;
    }
    struct TCell {
        TCount Ways = 0;
        std::uint64_t Example = 0;
    };
    std::array<TCell, kSuitStates * kSuitStates> cells{};
    std::array<TCell, kSuitStates * kSuitStates> next{};
    cells[0].Ways = 1;
    std::array<std::size_t, kSuitStates * kSuitStates> live{};  // the cells that count hands
    std::size_t liveCount = 1;
    for (RankIndex r = 1; r <= kRanks; ++r) {
        const auto at = static_cast<std::size_t>(r);
        const int n = shape.Count[at];
        if (n == 0) continue;
        const unsigned must = open[at];
        const unsigned may = must | free[at];
        next.fill({});
        bool any = false;
        for (unsigned sub = may;; sub = (sub - 1) & may) {
            if (kSuitCount[sub] == n && (sub & must) == must) {
                unsigned kept = sub;
                if (r == swapRank) {
                    // Within his swap rank the swap card is the first suit, or the last.
                    const unsigned swap =
                        lowest ? 1U << (31 - std::countl_zero(sub)) : sub & (~sub + 1);
                    kept = sub & ~swap;
                }
                const std::uint64_t cards = std::uint64_t{sub} << TCardTable::BitOf(r, 1);
                for (std::size_t j = 0; j < liveCount; ++j) {
                    const std::size_t i = live[j];
                    const int d = Join(static_cast<int>(i) / kSuitStates, sub);
                    const int b = Join(static_cast<int>(i) % kSuitStates, kept);
                    TCell& to = next[static_cast<std::size_t>(d * kSuitStates + b)];
                    if (to.Ways == 0) to.Example = cells[i].Example | cards;
                    to.Ways += cells[i].Ways;
                    any = true;
                }
            }
            if (sub == 0) break;
        }
        if (!any) return;
        cells = next;
        liveCount = 0;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].Ways != 0) live[liveCount++] = i;
        }
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].Ways == 0) continue;
        const int d = static_cast<int>(i) / kSuitStates;
        const bool flush = d != kNoSuitYet && d != kSeveralSuits;
        if (flush ? shape.GameWithFlush : shape.GameWithoutFlush) continue;
        AddToGroup(TCardTable::FromMask(cells[i].Example), cells[i].Ways, tally);
    }
}

void TDealerGameCounter::AddToGroup(TCardTable dealer, TCount hands, TDealerGameTally& tally) {
    const TCardId swap = DealerSwapCard(dealer, m_game.OfferOptions().DealerBuysLowest);
    TCardTable kept = dealer;
    kept.Remove(swap);
    // Another card of the swap card's rank: the suits chose between them.
    kept.ForEach([&](TCardId id) {
        if (RankIndexOf(id) == RankIndexOf(swap)) tally.SuitSensitive = true;
    });
    AddKept(kept, hands, tally);
}

void TDealerGameCounter::AddKept(TCardTable kept, TCount hands, TDealerGameTally& tally) {
    tally.NoGameHands += hands;
    // Four different ranks: a direct place instead of the map.
    std::uint32_t ranks = 0;
    bool distinct = true;
    kept.ForEach([&](TCardId id) {
        const std::uint32_t bit = 1U << (RankIndexOf(id) - 1);
        distinct = distinct && (ranks & bit) == 0;
        ranks |= bit;
    });
    if (distinct) {
        if (m_groupOfRanks.empty()) m_groupOfRanks.resize(std::size_t{1} << kRanks << 3);
        auto& [stamp, index] = m_groupOfRanks[(ranks << 3) | SharedSuit(kept)];
        if (stamp != m_stamp) {
            stamp = m_stamp;
            index = static_cast<std::uint32_t>(m_groups.size());
            m_groups.push_back({kept, 0});
        }
        m_groups[index].Hands += hands;
        return;
    }
    const std::uint64_t key = RankCounts(kept) | (SharedSuit(kept) << 40);
    const auto [at, added] =
        m_groupOf.try_emplace(key, static_cast<std::uint32_t>(m_groups.size()));
    if (added) m_groups.push_back({kept, 0});
    m_groups[at->second].Hands += hands;
}

const TDealerGameTally& TDealerGameCounter::Count(const TDecisionPoint& point) {
    if (m_lastValid && SameKey(point, m_lastPoint)) return m_last;
    m_lastPoint = point;
    m_lastValid = true;
    TDealerGameTally& tally = m_last;
    tally = TDealerGameTally();
    const TEvalRules& rules = m_game.Rules();
    const TCardTable unseen = ArrivalCards(point);

    // The completions without a game, grouped by the dealer's four kept cards: counted shape by
    // shape (the ranks of his five cards), the suits only as far as they make a flush, choose
    // the swap card and let the kept cards share a suit.
    if (!m_shapesMade) MakeShapes();
    m_groupOf.clear();
    m_groups.clear();
    if (++m_stamp == 0) {
        m_groupOfRanks.assign(m_groupOfRanks.size(), {0, 0});
        m_stamp = 1;
    }
    std::array<std::uint8_t, kRanks + 1> open{};
    std::array<std::uint8_t, kRanks + 1> free{};
    std::uint16_t openRanks = 0;
    for (RankIndex r = 1; r <= kRanks; ++r) {
        const int shift = TCardTable::BitOf(r, 1);
        open[static_cast<std::size_t>(r)] = (point.Dealer.Mask() >> shift) & 0xF;
        free[static_cast<std::size_t>(r)] = (unseen.Mask() >> shift) & 0xF;
        if (open[static_cast<std::size_t>(r)] != 0) openRanks |= 1U << (r - 1);
    }
    for (const TShape& shape : m_shapes) {
        if ((openRanks & ~shape.Ranks) != 0) continue;
        CountShape(shape, open, free, tally);
    }
    if (tally.NoGameHands == 0) return tally;

    // The purchase: its cost paid as the continuation pays it.
    TOffer buy;
    buy.Action = TPlayerAction::paBuyDealerGame;
    float balance = point.Balance;
    tally.StakeAfter = point.ExtraStake;
    PayCost(balance, tally.StakeAfter, OfferCost(buy, point.Stage, rules));

    // What each ending brings depends on the player's cards only: worked out once, on the
    // analysis of the first group.
    const TCardTable seenBefore = point.Player | point.Out;
    const TCardTable firstKept = m_groups.front().Kept;
    const TEvalAnalysis player =
        AnalyseLayout(rules, {point.Player, firstKept, seenBefore | firstKept, point.ExtraStake});
    if (player.Tallies.DealerOutcomes <= 1) return tally;  // no card left to replace his
    // As the decision values them: the purchase by the evaluator's mean over the replacement
    // cards (a dealer still without a game costs only what was paid), declining by the payout
    // without a game.
    const TOutcomePayouts valued =
        EvaluateAnalysis(rules, player, kModeBuyDealerGame, point.ExtraStake).Payouts;
    const std::int64_t decline =
        EvaluateAnalysis(rules, player, kModeDeclineDealerGame, point.ExtraStake).Value;
    // As the hand settles: the bet on the final cards, the cost staked.
    tally.BoughtPayouts = EvaluateAnalysis(rules, player, kModeBet, tally.StakeAfter).Payouts;
    // Where every kind plays with ordinary straights, a replacement card's ending is its hand's
    // strength against the player's five cards, as the evaluator counts it.
    const bool strengths = TDealerCompletions::Serves(rules.Counting) && point.Player.Count() == 5;
    const THandRank playerRank = strengths ? RankOfFive(point.Player) : 0;
    if (strengths && m_gameAt.empty()) {
        m_gameAt.resize(static_cast<std::size_t>(HandRankCount()));
        for (std::size_t v = 1; v < m_gameAt.size(); ++v)
            m_gameAt[v] = DealerGameAt(static_cast<THandRank>(v), rules.Counting);
    }
    for (const TGroup& group : m_groups) {
        // Every card the replacement can be, the thrown-away card among them: it leaves the
        // dealer without a game, as it did.
        TEvalTallies t;
        if (strengths) {
            // The cards of one rank make hands of one strength, but for the one that would give
            // four kept cards of one suit a flush.
            const std::uint64_t kept = group.Kept.Mask();
            const std::uint64_t deck = (seenBefore | group.Kept).Complement().Mask();
            const auto shared = static_cast<int>(SharedSuit(group.Kept));
            auto add = [&](std::uint64_t card, TCount cards) {
                const THandRank dealer = RankOfFive(TCardTable::FromMask(kept | card));
                t.DealerOutcomes += cards;
                if (!m_gameAt[dealer]) {
                    t.DealerNoGame += cards;
                } else if (dealer > playerRank) {
                    t.DealerWins += cards;
                } else if (dealer == playerRank) {
                    t.Ties += cards;
                } else {
                    t.PlayerWins += cards;
                }
            };
            for (RankIndex r = 1; r <= kRanks; ++r) {
                const int shift = TCardTable::BitOf(r, 1);
                unsigned suits = (deck >> shift) & 0xF;
                if (shared != 0 && ((suits >> (shared - 1)) & 1U) != 0) {
                    const unsigned flush = 1U << (shared - 1);
                    add(std::uint64_t{flush} << shift, 1);
                    suits &= ~flush;
                }
                if (suits != 0)
                    add(std::uint64_t{suits & (~suits + 1)} << shift, kSuitCount[suits]);
            }
        } else {
            t = AnalyseLayout(rules,
                              {point.Player, group.Kept, seenBefore | group.Kept, point.ExtraStake})
                    .Tallies;
        }
        --t.DealerNoGame;
        --t.DealerOutcomes;
        tally.Replacements = static_cast<int>(t.DealerOutcomes);
        // The decision's choice; a tie goes to the purchase, listed first.
        const std::int64_t buyValue = TExactMean{Sum(t, valued), t.DealerOutcomes, 1}.Rounded();
        const bool buys =
            !(static_cast<double>(decline) / 10000.0 > static_cast<double>(buyValue) / 10000.0);
        if (buys) {
            tally.BoughtHands += group.Hands;
            tally.Bought += Times(t, group.Hands);
        }
        const TWideSum gain = Sum(t, tally.BoughtPayouts) - TWideSum{t.DealerOutcomes} * decline;
        if (gain > 0) tally.BestGain += gain * group.Hands;
    }
    return tally;
}

}  // namespace studlab
