#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "profit/exact/strategy_store.h"
#include "table/first_choices.h"

namespace studlab {

// The strategies of the designs analysed: stores kept in a folder (the games folder, beside the
// decision caches), one file "<fingerprint>.strategy" per design and settings, read when a hand
// first asks for them, and stores kept in memory only. A file that is missing is looked for
// again at most once a second, so that a store written meanwhile is found; a file that cannot be
// read is passed over (its decisions are computed) until the program starts again.
class TStrategyShelf final : public IStrategies {
public:
    // No folder: stores are kept in memory only.
    explicit TStrategyShelf(std::filesystem::path folder = {}) : m_folder(std::move(folder)) {}

    const IFirstChoices* For(const std::string& fingerprint) const override;

    // Keeps `store` in memory for its fingerprint, unless one is kept for it already.
    void Add(std::shared_ptr<const TStrategyStore> store);
    // Keeps `store` in memory and writes it into the folder. Returns why it could not be
    // written, empty when it was (or there is no folder).
    std::string Keep(std::shared_ptr<const TStrategyStore> store);

    // The file of the store of `fingerprint`.
    std::filesystem::path FileOf(const std::string& fingerprint) const;

private:
    struct TEntry {
        std::shared_ptr<const TStrategyStore> Store;
        std::chrono::steady_clock::time_point LookedAt;
        bool Unreadable = false;
    };
    std::filesystem::path m_folder;
    mutable std::mutex m_lock;
    mutable std::map<std::string, TEntry, std::less<>> m_entries;
};

}  // namespace studlab
