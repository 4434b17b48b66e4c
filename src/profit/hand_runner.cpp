#include "profit/hand_runner.h"

#include <algorithm>

namespace studlab {

int AvailableCores() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

THandRunner::THandRunner(std::vector<std::unique_ptr<IHandPlayer>> players, std::uint64_t hands)
    : m_players(std::move(players)), m_hands(hands), m_slots(kWindow) {
    m_threads.reserve(m_players.size());
    for (auto& player : m_players) m_threads.emplace_back([this, &player] { Work(*player); });
}

THandRunner::~THandRunner() {
    m_cancel = true;
    {
        const std::lock_guard lock(m_mutex);
        m_roomFreed.notify_all();
    }
    for (std::thread& thread : m_threads) thread.join();
}

// The waiting side counts itself in `waiters` before it tests its condition under the lock, so
// the other side either sees the count or its change is seen by the test.
void THandRunner::Wake(std::atomic<int>& waiters, std::condition_variable& condition) {
    if (waiters.load() == 0) return;
    const std::lock_guard lock(m_mutex);
    condition.notify_all();
}

void THandRunner::Work(IHandPlayer& player) {
    while (!m_cancel) {
        const std::uint64_t first = m_nextBlock.fetch_add(1) * kBlock + 1;
        for (std::uint64_t hand = first; hand < first + kBlock; ++hand) {
            if (m_hands != 0 && hand > m_hands) return;
            if (!Room(hand)) {
                ++m_workersWaiting;
                std::unique_lock lock(m_mutex);
                while (!m_roomFreed.wait_for(lock, kLookAgain * 10,
                                             [&] { return m_cancel || Room(hand); })) {
                }
                --m_workersWaiting;
            }
            if (m_cancel) return;
            THandRecord record;
            try {
                record = player.Play(hand, m_cancel);
            } catch (const TRunCancelled&) {
                return;
            } catch (const std::exception& e) {
                record.Error = e.what();
            } catch (...) {
                record.Error = "неизвестная ошибка";
            }
            record.Hand = hand;
            TSlot& slot = m_slots[hand % kWindow];
            slot.Record = std::move(record);
            slot.Hand.store(hand);
            // The caller is woken once a block is played, not for every hand: a wake-up costs
            // more than a hand's bookkeeping; it also looks again on its own every few ms.
            if (hand % kBlock == 0 || hand == m_hands) Wake(m_callerWaiting, m_handPlayed);
        }
    }
}

std::optional<THandRecord> THandRunner::Next(std::chrono::milliseconds wait) {
    const std::uint64_t hand = m_taken.load() + 1;
    if (m_hands != 0 && hand > m_hands) return std::nullopt;
    TSlot& slot = m_slots[hand % kWindow];
    const auto played = [&] { return slot.Hand.load() == hand; };
    if (!played()) {
        ++m_callerWaiting;
        std::unique_lock lock(m_mutex);
        m_handPlayed.wait_for(lock, std::min(wait, kLookAgain), played);
        --m_callerWaiting;
        if (!played()) return std::nullopt;
    }
    THandRecord record = std::move(slot.Record);
    m_taken.store(hand);
    if (hand % kBlock == 0) Wake(m_workersWaiting, m_roomFreed);
    return record;
}

}  // namespace studlab
