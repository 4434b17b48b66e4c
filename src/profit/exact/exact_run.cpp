#include "profit/exact/exact_run.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

namespace studlab {
namespace {

constexpr std::string_view kCheckpointName = "studlab exact checkpoint ";
constexpr std::string_view kCheckpointHeader = "studlab exact checkpoint 3";

// Each batch line ends in " #" and the FNV-1a hash of the file's identity (its heading: the
// design's fingerprint and the division into batches) followed by what stands before the mark, in
// hex: a line changed on the disk, or pasted from a checkpoint of another design, is found, not
// added to the sums.
std::string LineCheck(std::string_view identity, std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const std::string_view part : {identity, text}) {
        for (const char c : part) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ULL;
        }
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(" #") + hex;
}

// The file's name in quotes, for messages.
std::string Quoted(const std::filesystem::path& path) {
    std::string text(1, '"');
    text += path.string();
    text += '"';
    return text;
}

std::string SystemError() {
    return std::strerror(errno);
}

void WriteAll(int fd, const std::string& text, const std::filesystem::path& path) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            throw TExactRunError("Не удаётся записать файл продолжения " + Quoted(path) + ": " +
                                 SystemError());
        }
        written += static_cast<std::size_t>(n);
    }
}

}  // namespace

TExactSums PlayBatch(const TLayoutClasses& classes, const TLayoutCursor& start, std::int64_t count,
                     IClassPlay& play, const std::atomic<bool>& stop,
                     std::atomic<std::int64_t>& played) {
    TExactSums sums;
    // Visit cannot be left early, so a stop only skips the remaining classes.
    classes.Visit(start, count, [&](const TLayoutClass& layout) {
        if (stop.load(std::memory_order_relaxed)) return;
        play.Play(layout, sums);
        played.fetch_add(1, std::memory_order_relaxed);
    });
    return sums;
}

TCheckpoint::TCheckpoint(std::filesystem::path path, const std::string& fingerprint,
                         std::int64_t batchSize, std::int64_t batchCount)
    : m_path(std::move(path)), m_done(static_cast<std::size_t>(batchCount)) {
    const std::string name = Quoted(m_path);
    m_identity = std::string(kCheckpointHeader) + "\nfingerprint " + fingerprint + "\nbatches " +
                 std::to_string(batchSize) + " " + std::to_string(batchCount) + "\n";
    const std::string& identity = m_identity;
    std::error_code ec;
    const bool exists = std::filesystem::exists(m_path, ec);
    if (exists && !std::filesystem::is_regular_file(m_path, ec)) {
        throw TExactRunError("Файл продолжения " + name + " не является обычным файлом");
    }
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (m_fd < 0) {
        throw TExactRunError("Не удаётся открыть файл продолжения " + name + ": " + SystemError());
    }
    // From here on the descriptor is closed by whatever leaves the constructor.
    struct TCloser {
        int& Fd;
        bool Keep = false;
        ~TCloser() {
            if (!Keep) {
                ::close(Fd);
                Fd = -1;
            }
        }
    } closer{m_fd};
    // One run at a time: a second one would write its lines between the first one's.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            throw TExactRunError("Файл продолжения " + name +
                                 " используется другим расчетом; дождитесь его конца или укажите "
                                 "другой файл");
        }
        throw TExactRunError("Не удаётся заблокировать файл продолжения " + name + ": " +
                             SystemError());
    }
    std::string content;
    for (char chunk[65536];;) {
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            throw TExactRunError("Не удаётся прочитать файл продолжения " + name + ": " +
                                 SystemError());
        }
        if (n == 0) break;
        content.append(chunk, static_cast<std::size_t>(n));
    }
    std::size_t keep = 0;  // bytes of whole lines to keep
    // A file cut before its heading was whole (an interruption at the start) holds nothing.
    const bool cutHeading =
        content.size() < identity.size() && identity.compare(0, content.size(), content) == 0;
    if (!cutHeading && content.compare(0, identity.size(), identity) != 0) {
        if (content.compare(0, kCheckpointName.size(), kCheckpointName) != 0) {
            throw TExactRunError("Файл " + name +
                                 " не является файлом продолжения точного "
                                 "расчета");
        }
        if (content.compare(0, kCheckpointHeader.size() + 1,
                            std::string(kCheckpointHeader) + "\n") != 0) {
            // Earlier versions checked each line by itself, so their lines cannot be bound to
            // the design: such a file is refused, not trusted.
            throw TExactRunError("Файл продолжения " + name +
                                 " записан прежней версией программы, его строки нельзя "
                                 "проверить; удалите его или укажите другой");
        }
        throw TExactRunError("Файл продолжения " + name +
                             " записан для другой конструкции игры или другого деления на "
                             "части; удалите его или укажите другой");
    }
    keep = cutHeading ? 0 : identity.size();
    std::size_t at = cutHeading ? content.size() : identity.size();
    while (at < content.size()) {
        const std::size_t end = content.find('\n', at);
        // A last line without its end was cut by an interruption: it is dropped.
        if (end == std::string::npos) break;
        const std::string_view whole(content.data() + at, end - at);
        const std::size_t mark = whole.rfind(" #");
        const std::string_view line = whole.substr(0, mark);
        std::int64_t batch = -1;
        std::optional<TExactSums> sums;
        if (mark != std::string_view::npos && whole.substr(mark) == LineCheck(identity, line) &&
            line.starts_with("batch ")) {
            const std::string_view rest = line.substr(6);
            const std::size_t blank = rest.find(' ');
            try {
                batch = std::stoll(std::string(rest.substr(0, blank)));
            } catch (const std::exception&) {
                batch = -1;
            }
            if (blank != std::string_view::npos)
                sums = TExactSums::FromText(rest.substr(blank + 1));
        }
        if (!sums || batch < 0 || batch >= batchCount) {
            throw TExactRunError("Файл продолжения " + name + " повреждён (строка \"" +
                                 std::string(line.substr(0, 40)) + "\")");
        }
        m_done[static_cast<std::size_t>(batch)] = std::make_unique<TExactSums>(*sums);
        at = end + 1;
        keep = at;
    }
    if (::ftruncate(m_fd, static_cast<off_t>(keep)) != 0 ||
        ::lseek(m_fd, static_cast<off_t>(keep), SEEK_SET) < 0) {
        throw TExactRunError("Не удаётся записать файл продолжения " + name + ": " + SystemError());
    }
    if (keep == 0) {
        WriteAll(m_fd, identity, m_path);
        ::fdatasync(m_fd);
    }
    closer.Keep = true;
}

TCheckpoint::~TCheckpoint() {
    if (m_fd >= 0) ::close(m_fd);
}

void TCheckpoint::Record(std::int64_t batch, const TExactSums& sums) {
    const std::string line = "batch " + std::to_string(batch) + " " + sums.ToText();
    WriteAll(m_fd, line + LineCheck(m_identity, line) + "\n", m_path);
    if (::fdatasync(m_fd) != 0) {
        throw TExactRunError("Не удаётся записать файл продолжения " + Quoted(m_path) + ": " +
                             SystemError());
    }
}

void RequireEveryClass(const TExactSums& sums, const TLayoutClasses& classes) {
    if (sums.Classes != classes.ClassCount() || sums.Layouts != TInt256(classes.LayoutCount())) {
        throw TExactRunError("Сумма частей расчета не совпадает с целым: классов " +
                             std::to_string(sums.Classes) + " из " +
                             std::to_string(classes.ClassCount()) + ", раскладов " +
                             sums.Layouts.ToString() + " из " +
                             std::to_string(classes.LayoutCount()) +
                             "; показатели не выводятся");
    }
}

TExactRunResult RunExactAnalysis(const TLayoutClasses& classes, const TClassPlayFactory& factory,
                                 const TExactRunOptions& options) {
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    const std::int64_t batchSize = std::max<std::int64_t>(1, options.BatchSize);
    const std::vector<TLayoutCursor> starts = classes.BatchStarts(batchSize);
    const auto batchCount = static_cast<std::int64_t>(starts.size());

    std::optional<TCheckpoint> checkpoint;
    if (!options.Checkpoint.empty()) {
        checkpoint.emplace(options.Checkpoint, options.Fingerprint, batchSize, batchCount);
    }
    TExactRunResult result;
    std::vector<std::int64_t> todo;
    std::int64_t resumedClasses = 0;
    for (std::int64_t b = 0; b < batchCount; ++b) {
        const TExactSums* done =
            checkpoint ? checkpoint->Done()[static_cast<std::size_t>(b)].get() : nullptr;
        if (done != nullptr) {
            result.Sums += *done;
            resumedClasses += done->Classes;
            ++result.ResumedBatches;
        } else {
            todo.push_back(b);
        }
    }

    const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
    const int threads = options.Threads > 0 ? options.Threads : static_cast<int>(cores);
    result.Threads = threads;
    // A stop asked for before the start ends the run before its first batch.
    std::atomic<bool> stop{options.Stop != nullptr && options.Stop->load()};
    std::atomic<std::size_t> next{0};
    std::atomic<std::int64_t> played{0};
    std::mutex finishedLock;
    std::vector<std::pair<std::int64_t, TExactSums>> finished;
    std::exception_ptr failure;

    auto work = [&] {
        try {
            const std::unique_ptr<IClassPlay> play = factory();
            for (;;) {
                const std::size_t i = next.fetch_add(1);
                if (options.Stop != nullptr && options.Stop->load()) stop = true;
                if (i >= todo.size() || stop.load()) return;
                const std::int64_t b = todo[i];
                TExactSums sums = PlayBatch(classes, starts[static_cast<std::size_t>(b)], batchSize,
                                            *play, stop, played);
                if (stop.load()) return;
                const std::lock_guard lock(finishedLock);
                finished.emplace_back(b, std::move(sums));
            }
        } catch (...) {
            const std::lock_guard lock(finishedLock);
            if (!failure) failure = std::current_exception();
            stop = true;
        }
    };
    std::vector<std::jthread> pool;
    for (int t = 0; t < threads; ++t) pool.emplace_back(work);

    // The calling thread records finished batches and reports the progress until all are done.
    auto collect = [&] {
        std::vector<std::pair<std::int64_t, TExactSums>> batch;
        {
            const std::lock_guard lock(finishedLock);
            batch.swap(finished);
        }
        for (auto& [b, sums] : batch) {
            if (checkpoint) checkpoint->Record(b, sums);
            result.Sums += sums;
        }
    };
    auto report = [&] {
        if (!options.Progress) return;
        TExactProgress p;
        p.ClassesTotal = classes.ClassCount();
        const std::int64_t now = played.load();
        p.ClassesDone = resumedClasses + now;
        p.Seconds = std::chrono::duration<double>(Clock::now() - started).count();
        if (now > 0) {
            p.SecondsLeft = p.Seconds / static_cast<double>(now) *
                            static_cast<double>(p.ClassesTotal - p.ClassesDone);
        }
        options.Progress(p);
    };
    // Every thread takes one index past the last batch before it ends.
    const std::size_t allEnded = todo.size() + static_cast<std::size_t>(threads);
    for (;;) {
        if (options.Stop != nullptr && options.Stop->load()) stop = true;
        collect();
        report();
        if (next.load() >= allEnded || stop.load()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    pool.clear();  // joins
    if (failure) std::rethrow_exception(failure);
    collect();
    result.Cancelled = stop.load() && result.Sums.Classes < classes.ClassCount();
    if (!result.Cancelled) RequireEveryClass(result.Sums, classes);
    report();
    result.Seconds = std::chrono::duration<double>(Clock::now() - started).count();
    return result;
}

}  // namespace studlab
