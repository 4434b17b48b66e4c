#include "profit/exact/strategy_shelf.h"

#include <exception>
#include <system_error>
#include <utility>

namespace studlab {
namespace {

constexpr std::chrono::seconds kLookAgain{1};

}  // namespace

std::filesystem::path TStrategyShelf::FileOf(const std::string& fingerprint) const {
    return m_folder / (fingerprint + ".strategy");
}

const IFirstChoices* TStrategyShelf::For(const std::string& fingerprint) const {
    const std::lock_guard lock(m_lock);
    TEntry& entry = m_entries[fingerprint];
    if (entry.Store || entry.Unreadable || m_folder.empty()) return entry.Store.get();
    const auto now = std::chrono::steady_clock::now();
    if (entry.LookedAt != std::chrono::steady_clock::time_point() &&
        now - entry.LookedAt < kLookAgain) {
        return nullptr;
    }
    entry.LookedAt = now;
    const std::filesystem::path file = FileOf(fingerprint);
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return nullptr;
    try {
        entry.Store =
            std::make_shared<const TStrategyStore>(TStrategyStore::Load(file, fingerprint));
    } catch (const std::exception&) {
        // Not a store, damaged, or too large to hold (a store of three or four open dealer
        // cards): its decisions are valued.
        entry.Unreadable = true;
    }
    return entry.Store.get();
}

void TStrategyShelf::Add(std::shared_ptr<const TStrategyStore> store) {
    const std::lock_guard lock(m_lock);
    TEntry& entry = m_entries[store->Fingerprint()];
    // A store handed out stays: hands may be playing on it. Another of the same fingerprint
    // holds the same choices.
    if (!entry.Store) entry.Store = std::move(store);
}

std::string TStrategyShelf::Keep(std::shared_ptr<const TStrategyStore> store) {
    std::string failure;
    if (!m_folder.empty()) {
        try {
            std::error_code error;
            std::filesystem::create_directories(m_folder, error);
            store->Save(FileOf(store->Fingerprint()));
        } catch (const TStrategyStoreError& e) {
            failure = e.what();
        }
    }
    Add(std::move(store));
    return failure;
}

}  // namespace studlab
