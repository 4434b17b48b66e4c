#include "profit/exact/exact_job.h"

#include <cstdio>

#include "design/design_fields.h"
#include "profit/exact/hand_play.h"

namespace studlab {

std::string ExactFingerprint(const TGameDesign& design, const TCalculationSettings& settings,
                             bool withBestPlay) {
    // Settings that cannot change the play: the cache, the random series, the seconds a hand
    // takes, the draws of the probabilistic method (every draw is counted here).
    std::string text = "exact 1\n";
    for (const TDesignFieldValue& f : ListDesignFields(design, settings)) {
        if (f.Name == "UseCacheTable" || f.Name == "SameSequence" || f.Name == "HandSeconds" ||
            f.Name == "ProbabilisticCycles" || f.Name == "CalcMethod") {
            continue;
        }
        text += f.Name;
        text += '=';
        text += f.Value;
        text += '\n';
    }
    text += withBestPlay ? "best play\n" : "no best play\n";
    std::uint64_t h = 0xcbf29ce484222325ULL;  // 64-bit FNV-1a
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(h));
    return digits;
}

TExactJob::~TExactJob() {
    Stop();
}

void TExactJob::Start(const TGameDesign& design, const TCalculationSettings& settings) {
    Stop();
    auto game = std::make_shared<const TExactGame>(design, settings);  // refuses at once
    const std::string fingerprint = ExactFingerprint(design, settings, game->WithBestPlay());
    m_stop = false;
    m_running = true;
    {
        const std::lock_guard lock(m_lock);
        m_progress = TExactProgress();
    }
    // The strategy is recorded while the classes are played, and kept once every class is.
    // Kept for none or one open dealer card: a store of two takes 123 MB, of three or four
    // gigabytes.
    std::shared_ptr<TStrategyStore> store;
    if (m_shelf && game->DealerOpenCards() <= 1) {
        store = std::make_shared<TStrategyStore>(StrategyStoreFingerprint(design, settings),
                                                 game->DealerOpenCards());
    }
    m_thread = std::thread([this, game, fingerprint, store, shelf = m_shelf] {
        TResult result;
        result.Fingerprint = fingerprint;
        result.DealerOpenCards = game->DealerOpenCards();
        try {
            const TLayoutClasses classes(game->DealerOpenCards());
            TExactRunOptions options;
            options.Stop = &m_stop;
            options.Progress = [this](const TExactProgress& p) {
                const std::lock_guard lock(m_lock);
                m_progress = p;
            };
            const TExactRunResult r = RunExactAnalysis(
                classes, [&game, &store] { return game->NewPlay(store.get()); }, options);
            result.Sums = r.Sums;
            result.Cancelled = r.Cancelled;
            result.Threads = r.Threads;
            result.Seconds = r.Seconds;
            if (!r.Cancelled) result.Figures = FiguresOf(r.Sums);
            if (!r.Cancelled && store && store->Missing() == 0) {
                result.StrategyError = shelf->Keep(store);
            }
        } catch (const std::exception& e) {
            result.Error = e.what();
        }
        {
            const std::lock_guard lock(m_lock);
            m_result = std::move(result);
        }
        m_running = false;
    });
}

void TExactJob::Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    m_running = false;
}

TExactProgress TExactJob::Progress() const {
    const std::lock_guard lock(m_lock);
    return m_progress;
}

std::optional<TExactJob::TResult> TExactJob::Result() const {
    const std::lock_guard lock(m_lock);
    return m_result;
}

bool TExactJob::HasResultFor(const TGameDesign& design,
                             const TCalculationSettings& settings) const {
    const std::lock_guard lock(m_lock);
    return m_result && !m_result->Cancelled && m_result->Error.empty() &&
           m_result->Fingerprint == ExactFingerprint(design, settings, true);
}

}  // namespace studlab
