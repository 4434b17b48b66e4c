#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "cards/card.h"

namespace studlab {

// The number of set bits. Without the popcount instruction, which the baseline x86-64 target
// lacks, std::popcount becomes a library call that costs more than these few operations.
constexpr int CountBits(std::uint64_t bits) {
    bits = bits - ((bits >> 1) & 0x5555555555555555ULL);
    bits = (bits & 0x3333333333333333ULL) + ((bits >> 2) & 0x3333333333333333ULL);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((bits * 0x0101010101010101ULL) >> 56);
}

// A set of cards, the 13 x 4 table of flags [RankIndex][SuitIndex]. Held as one 64-bit mask whose
// bit (rank - 1) * 4 + (suit - 1) is the card's flag, so that walking the bits from the lowest
// visits the cards in scan order: ranks from the ace down, suits 1..4 within a rank. Counts per
// rank and per suit are derived on demand.
class TCardTable {
public:
    constexpr TCardTable() = default;
    static constexpr TCardTable FromMask(std::uint64_t mask) {
        TCardTable t;
        t.m_mask = mask & kAllMask;
        return t;
    }
    static constexpr TCardTable FullDeck() { return FromMask(kAllMask); }

    static constexpr int BitOf(RankIndex rank, SuitIndex suit) {
        return (rank - 1) * 4 + (suit - 1);
    }
    static constexpr RankIndex RankOfBit(int bit) { return bit / 4 + 1; }
    static constexpr SuitIndex SuitOfBit(int bit) { return bit % 4 + 1; }
    static constexpr int BitOfCard(TCardId id) { return BitOf(RankIndexOf(id), SuitIndexOf(id)); }
    static constexpr TCardId CardOfBit(int bit) { return CardIdOf(RankOfBit(bit), SuitOfBit(bit)); }

    constexpr bool Has(RankIndex rank, SuitIndex suit) const {
        return (m_mask >> BitOf(rank, suit)) & 1U;
    }
    constexpr bool Has(TCardId id) const { return (m_mask >> BitOfCard(id)) & 1U; }
    constexpr void Set(RankIndex rank, SuitIndex suit, bool on) {
        const std::uint64_t bit = std::uint64_t{1} << BitOf(rank, suit);
        m_mask = on ? (m_mask | bit) : (m_mask & ~bit);
    }
    constexpr void Add(TCardId id) { m_mask |= std::uint64_t{1} << BitOfCard(id); }
    constexpr void Remove(TCardId id) { m_mask &= ~(std::uint64_t{1} << BitOfCard(id)); }
    constexpr void Clear() { m_mask = 0; }

    constexpr int Count() const { return CountBits(m_mask); }
    constexpr bool Empty() const { return m_mask == 0; }
    constexpr int RankCount(RankIndex rank) const {
        return CountBits((m_mask >> ((rank - 1) * 4)) & 0xFU);
    }
    constexpr int SuitCount(SuitIndex suit) const {
        return CountBits(m_mask & (kSuitMask << (suit - 1)));
    }
    // Bit i - 1 is set when rank i is held at least once.
    constexpr std::uint32_t RanksHeld() const {
        std::uint32_t held = 0;
        for (RankIndex r = 1; r <= kRanks; ++r) {
            if ((m_mask >> ((r - 1) * 4)) & 0xFU) held |= 1U << (r - 1);
        }
        return held;
    }
    constexpr std::uint64_t Mask() const { return m_mask; }

    // Calls f(TCardId) for every card of the table in scan order.
    template <class F>
    constexpr void ForEach(F&& f) const {
        for (std::uint64_t m = m_mask; m != 0; m &= m - 1) f(CardOfBit(std::countr_zero(m)));
    }

    constexpr TCardTable operator|(TCardTable o) const { return FromMask(m_mask | o.m_mask); }
    constexpr TCardTable operator&(TCardTable o) const { return FromMask(m_mask & o.m_mask); }
    constexpr TCardTable Without(TCardTable o) const { return FromMask(m_mask & ~o.m_mask); }
    constexpr TCardTable Complement() const { return FromMask(~m_mask); }
    friend constexpr bool operator==(TCardTable, TCardTable) = default;

    // Bit of every card of suit 1; shift left by suit - 1 for the others.
    static constexpr std::uint64_t kSuitMask = 0x1111111111111ULL;
    static constexpr std::uint64_t kAllMask = (std::uint64_t{1} << kCards) - 1;

private:
    std::uint64_t m_mask = 0;
};

// Calls f(TCardTable) for every set of `k` cards of `cards`, in the order of their bits (scan
// order of the first card, then the second, ...). Nothing when there are fewer than `k`.
template <class F>
void ForEachCardSet(TCardTable cards, int k, F&& f) {
    std::array<std::uint64_t, kCards> bits{};
    int n = 0;
    for (std::uint64_t m = cards.Mask(); m != 0; m &= m - 1) {
        bits[static_cast<std::size_t>(n++)] = m & (~m + 1);
    }
    if (k < 0 || k > n || k > 7) return;
    std::array<int, 8> at{};
    for (int i = 0; i < k; ++i) at[static_cast<std::size_t>(i)] = i;
    for (;;) {
        std::uint64_t drawn = 0;
        for (int i = 0; i < k; ++i) {
            drawn |= bits[static_cast<std::size_t>(at[static_cast<std::size_t>(i)])];
        }
        f(TCardTable::FromMask(drawn));
        int i = k - 1;
        while (i >= 0 && at[static_cast<std::size_t>(i)] == n - k + i) --i;
        if (i < 0) return;
        ++at[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < k; ++j) {
            at[static_cast<std::size_t>(j)] = at[static_cast<std::size_t>(j - 1)] + 1;
        }
    }
}

}  // namespace studlab
