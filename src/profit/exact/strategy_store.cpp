#include "profit/exact/strategy_store.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

#include "design/design_fingerprint.h"
#include "profit/exact/exact_game.h"
#include "profit/exact/hand_walk.h"
#include "text/fnv1a.h"

namespace studlab {
namespace {

// The heading, little-endian throughout:
//   0  8  magic "SLSTRAT\x1a"
//   8  4  version
//  12  4  open dealer cards
//  16 16  the fingerprint, 16 hexadecimal digits
//  32  8  classes
//  40  4  codes in the table (n)
//  44 4n  the codes, each NUL-padded to four bytes
// then one byte per class (an index into the table), then the FNV-1a hash of all that (8 bytes).
constexpr std::string_view kMagic("SLSTRAT\x1a", 8);
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kFingerprintSize = 16;
constexpr std::size_t kCodeSize = 4;
constexpr std::size_t kHeadingSize = 44;
constexpr std::size_t kCodesSize = kFirstChoiceCodes.size() * kCodeSize;
constexpr std::size_t kCheckSize = 8;
// The classes with 0 .. 4 open dealer cards (TLayoutClasses::ClassCount), so that a heading is
// checked against the file's length before the classes of its dealer cards are built.
constexpr std::array<std::uint64_t, 5> kClassCounts = {134'459, 5'649'150, 123'156'254,
                                                       1'800'975'787, 19'569'128'722};

void PutWord(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFFU);
}

std::uint64_t Word(std::string_view in, std::size_t at, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= std::uint64_t{static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)])}
                 << (8 * i);
    }
    return value;
}

std::string Quoted(const std::filesystem::path& path) {
    return "«" + path.string() + "»";
}

int CodeIndex(std::string_view code) {
    const auto at = std::find(kFirstChoiceCodes.begin(), kFirstChoiceCodes.end(), code);
    return at == kFirstChoiceCodes.end() ? -1 : static_cast<int>(at - kFirstChoiceCodes.begin());
}

}  // namespace

TStrategyStore::TStrategyStore(std::string fingerprint, int dealerCards)
    : TStrategyStore(std::move(fingerprint), TLayoutClasses(dealerCards)) {}

TStrategyStore::TStrategyStore(std::string fingerprint, TLayoutClasses classes)
    : m_fingerprint(std::move(fingerprint)),
      m_classes(std::move(classes)),
      m_choices(static_cast<std::size_t>(m_classes.ClassCount()), kNotRecorded) {}

void TStrategyStore::Record(std::int64_t index, std::string_view code) {
    const int c = CodeIndex(code);
    if (index < 0 || index >= ClassCount() || c < 0) {
        throw std::invalid_argument("the strategy store records a first choice of a class: class " +
                                    std::to_string(index) + ", code \"" + std::string(code) + "\"");
    }
    m_choices[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(c);
}

bool TStrategyStore::Recorded(std::int64_t index) const {
    return index >= 0 && index < ClassCount() &&
           m_choices[static_cast<std::size_t>(index)] != kNotRecorded;
}

std::int64_t TStrategyStore::Missing() const {
    return std::count(m_choices.begin(), m_choices.end(), kNotRecorded);
}

std::optional<std::string_view> TStrategyStore::ChoiceOf(std::int64_t index) const {
    if (!Recorded(index)) return std::nullopt;
    return kFirstChoiceCodes[m_choices[static_cast<std::size_t>(index)]];
}

std::optional<std::string_view> TStrategyStore::Lookup(TCardTable player, TCardTable dealer) const {
    return ChoiceOf(m_classes.IndexOf(player, dealer));
}

std::int64_t TStrategyStore::FileSize(std::int64_t classes) {
    return static_cast<std::int64_t>(kHeadingSize + kCodesSize + kCheckSize) + classes;
}

void TStrategyStore::Save(const std::filesystem::path& path) const {
    if (const std::int64_t missing = Missing(); missing > 0) {
        throw TStrategyStoreError("Стратегия не записана в " + Quoted(path) + ": не решено " +
                                  std::to_string(missing) + " классов раскладов из " +
                                  std::to_string(ClassCount()));
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(FileSize(ClassCount())));
    text += kMagic;
    PutWord(text, kVersion, 4);
    PutWord(text, static_cast<std::uint64_t>(DealerCards()), 4);
    std::string fingerprint = m_fingerprint;
    fingerprint.resize(kFingerprintSize, '\0');
    text += fingerprint;
    PutWord(text, static_cast<std::uint64_t>(ClassCount()), 8);
    PutWord(text, kFirstChoiceCodes.size(), 4);
    for (const std::string_view code : kFirstChoiceCodes) {
        std::string padded(code);
        padded.resize(kCodeSize, '\0');
        text += padded;
    }
    text.append(reinterpret_cast<const char*>(m_choices.data()), m_choices.size());
    PutWord(text, Fnv1a64(text), 8);
    // Written beside and renamed into place, so that a reader never finds half a store and a
    // store that was there stays whole when writing fails.
    std::filesystem::path part = path;
    part += ".part";
    std::ofstream file(part, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    std::error_code renamed;
    if (file) std::filesystem::rename(part, path, renamed);
    if (!file || renamed) {
        const std::string reason = renamed ? renamed.message() : std::strerror(errno);
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        throw TStrategyStoreError("Не удалось записать стратегию в файл " + Quoted(path) + ": " +
                                  reason);
    }
}

TStrategyStore TStrategyStore::Load(const std::filesystem::path& path,
                                    std::string_view fingerprint) {
    const std::string name = Quoted(path);
    const auto refuse = [&](const std::string& why) {
        return TStrategyStoreError("Файл " + name + " " + why);
    };
    std::ifstream file(path, std::ios::binary);
    if (!file) throw TStrategyStoreError("Не удаётся открыть файл стратегии " + name);
    // The heading first: its sizes are checked before the rest is read.
    std::string text(kHeadingSize, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    const auto got = static_cast<std::size_t>(file.gcount());
    if (got < kMagic.size() || std::string_view(text).substr(0, kMagic.size()) != kMagic) {
        throw refuse("не является файлом стратегии");
    }
    if (got < kHeadingSize) throw refuse("обрезан: в нём нет полного заголовка");
    const std::uint64_t version = Word(text, 8, 4);
    if (version != kVersion) {
        throw refuse("записан в версии формата " + std::to_string(version) +
                     ", а читается версия " + std::to_string(kVersion));
    }
    const std::uint64_t dealerCards = Word(text, 12, 4);
    if (dealerCards > 4) {
        throw refuse("повреждён: в нём " + std::to_string(dealerCards) + " открытых карт дилера");
    }
    std::string own = text.substr(16, kFingerprintSize);
    if (!std::all_of(own.begin(), own.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); })) {
        throw refuse("повреждён: отпечаток конструкции не прочитан");
    }
    if (!fingerprint.empty() && own != fingerprint) {
        throw refuse("записан для другой конструкции игры или других настроек (отпечаток " + own +
                     ", а у игры " + std::string(fingerprint) + ")");
    }
    const std::uint64_t classes = Word(text, 32, 8);
    const std::uint64_t expectedClasses = kClassCounts[static_cast<std::size_t>(dealerCards)];
    if (classes != expectedClasses) {
        throw refuse("повреждён: в нём " + std::to_string(classes) + " классов раскладов, а при " +
                     std::to_string(dealerCards) + " открытых картах дилера их " +
                     std::to_string(expectedClasses));
    }
    const std::uint64_t codes = Word(text, 40, 4);
    if (codes != kFirstChoiceCodes.size()) throw refuse("повреждён: таблица решений не прочитана");
    // Nothing is taken in before the file is known to be exactly as long as the heading says.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    const auto expected = static_cast<std::uintmax_t>(FileSize(static_cast<std::int64_t>(classes)));
    if (ec || size < expected) throw refuse("обрезан");
    if (size > expected) throw refuse("длиннее, чем стратегия в нём");
    TLayoutClasses layouts(static_cast<int>(dealerCards));
    if (static_cast<std::uint64_t>(layouts.ClassCount()) != classes) {
        throw std::logic_error("the strategy store's class counts are not the layout classes'");
    }
    TStrategyStore store(own, std::move(layouts));
    const std::size_t rest = kCodesSize + store.m_choices.size() + kCheckSize;
    text.resize(kHeadingSize + rest);
    file.read(text.data() + kHeadingSize, static_cast<std::streamsize>(rest));
    if (static_cast<std::size_t>(file.gcount()) != rest) throw refuse("обрезан");
    if (file.peek() != std::char_traits<char>::eof()) throw refuse("длиннее, чем стратегия в нём");
    const std::size_t checked = text.size() - kCheckSize;
    if (Word(text, checked, 8) != Fnv1a64(std::string_view(text).substr(0, checked))) {
        throw refuse("повреждён: контрольная сумма не сходится");
    }
    // The file's table of codes, mapped to the store's.
    std::vector<std::uint8_t> mapped(static_cast<std::size_t>(codes));
    for (std::size_t i = 0; i < mapped.size(); ++i) {
        const std::string_view padded =
            std::string_view(text).substr(kHeadingSize + i * kCodeSize, kCodeSize);
        const std::string_view code = padded.substr(0, padded.find('\0'));
        const int c = CodeIndex(code);
        if (c < 0 || padded.find_first_not_of('\0', code.size()) != std::string_view::npos) {
            throw refuse("повреждён: в таблице решений код \"" + std::string(code) + "\"");
        }
        mapped[i] = static_cast<std::uint8_t>(c);
    }
    const std::size_t first = kHeadingSize + mapped.size() * kCodeSize;
    for (std::size_t i = 0; i < store.m_choices.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[first + i]);
        if (c >= mapped.size()) {
            throw refuse("повреждён: решение класса " + std::to_string(i) + " вне таблицы");
        }
        store.m_choices[i] = mapped[c];
    }
    return store;
}

std::string StrategyStoreFingerprint(const TGameDesign& design,
                                     const TCalculationSettings& settings) {
    return DesignFingerprint(design, settings);
}

bool CompleteStrategyStore(const TExactGame& game, TStrategyStore& store, int threads,
                           const std::atomic<bool>* stop) {
    if (game.DealerOpenCards() != store.DealerCards()) {
        throw std::invalid_argument("the strategy store is for another number of dealer cards");
    }
    const TLayoutClasses& classes = store.Classes();
    constexpr std::int64_t kBatch = 4096;
    const std::vector<TLayoutCursor> starts = classes.BatchStarts(kBatch);
    const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
    const int workers = threads > 0 ? threads : static_cast<int>(cores);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto stopped = [&] { return failed.load() || (stop != nullptr && stop->load()); };
    auto work = [&] {
        try {
            TWalker walker(game);
            for (;;) {
                const std::size_t b = next.fetch_add(1);
                if (b >= starts.size() || stopped()) return;
                std::int64_t index = static_cast<std::int64_t>(b) * kBatch;
                classes.Visit(starts[b], kBatch, [&](const TLayoutClass& layout) {
                    const std::int64_t at = index++;
                    if (store.Recorded(at) || stopped()) return;
                    TDecisionPoint first;
                    first.Player = layout.Player;
                    first.Dealer = layout.Dealer;
                    // Ties within one action may fall to another card under another suit
                    // order, but they keep the action's code: the class has one choice.
                    store.Record(at, walker.FirstChoice(first));
                });
            }
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
            failed = true;
        }
    };
    {
        std::vector<std::jthread> pool;
        for (int t = 0; t < workers; ++t) pool.emplace_back(work);
    }
    if (failure) std::rethrow_exception(failure);
    return store.Missing() == 0;
}

}  // namespace studlab
