#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cards/combination_kind.h"

namespace studlab {

// One hand of a run as the profitability check records it.
struct THandRecord {
    std::uint64_t Hand = 0;   // its number in the run, from 1
    std::int64_t Result = 0;  // ten-thousandths of an ante; the table's not-settled mark if so
    float ExtraStake = 0;     // antes paid for cards and for the dealer's game
    std::int64_t Stake = 0;   // ten-thousandths put at risk: ante, bet and costs
    // The player was paid: he bet and won, or the dealer had no game (the exact analysis's hit
    // frequency counts the same hands, whatever their payouts after the costs).
    bool Paid = false;
    TCombinationKind Category = TCombinationKind::ckNoGame;  // the player's cards at his last
                                                             // decision
    std::uint32_t SeriesSeed = 0;  // the fixed series' seed before the hand, when it deals
    std::string Error;             // what went wrong inside the hand; empty when nothing did
};

// A run that is being cancelled: thrown by a player that notices it between decisions.
class TRunCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "run cancelled"; }
};

// Plays hands for one worker thread. A hand's number alone decides what is dealt (except in the
// fixed series, which deals hand after hand and is only ever given to one worker).
class IHandPlayer {
public:
    virtual ~IHandPlayer() = default;
    // Plays hand `hand` to its end. May throw TRunCancelled once `cancel` is set; other errors
    // are the hand's own and end the run when the check reaches the hand.
    virtual THandRecord Play(std::uint64_t hand, const std::atomic<bool>& cancel) = 0;
};

// Plays the hands 1, 2, 3 ... of a run on one thread per player and hands them over in order.
// Workers take blocks of hands as they become free and may play ahead of the hand the caller is
// at, by at most kWindow hands. Destroying the runner cancels the hands being played and waits
// for the workers.
class THandRunner {
public:
    static constexpr std::uint64_t kWindow = 1 << 14;
    static constexpr std::uint64_t kBlock = 16;
    // The longest the caller sleeps before it looks for the next hand again.
    static constexpr std::chrono::milliseconds kLookAgain{2};

    // `hands` 0: as many as the caller takes.
    THandRunner(std::vector<std::unique_ptr<IHandPlayer>> players, std::uint64_t hands);
    ~THandRunner();
    THandRunner(const THandRunner&) = delete;
    THandRunner& operator=(const THandRunner&) = delete;

    // The next hand in order once it has been played; none when it is not played within `wait`
    // (or every hand has been taken).
    std::optional<THandRecord> Next(std::chrono::milliseconds wait);
    int Workers() const { return static_cast<int>(m_players.size()); }

private:
    struct TSlot {
        std::atomic<std::uint64_t> Hand{0};  // the hand the record holds; 0 for none yet
        THandRecord Record;
    };

    void Work(IHandPlayer& player);
    bool Room(std::uint64_t hand) const { return hand <= m_taken.load() + kWindow; }
    void Wake(std::atomic<int>& waiters, std::condition_variable& condition);

    std::vector<std::unique_ptr<IHandPlayer>> m_players;
    const std::uint64_t m_hands;
    std::vector<TSlot> m_slots;
    std::atomic<std::uint64_t> m_nextBlock{0};
    std::atomic<std::uint64_t> m_taken{0};  // hands handed over by Next
    std::atomic<bool> m_cancel{false};

    std::mutex m_mutex;
    std::condition_variable m_handPlayed;
    std::condition_variable m_roomFreed;
    std::atomic<int> m_callerWaiting{0};
    std::atomic<int> m_workersWaiting{0};
    std::vector<std::thread> m_threads;
};

// The hardware's threads, at least 1.
int AvailableCores();

}  // namespace studlab
