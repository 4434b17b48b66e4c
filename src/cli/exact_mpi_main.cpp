// studlab-exact-mpi: the exact analysis across machines. Run under mpirun: rank 0 hands out the
// parts (batches of classes of first layouts) one at a time to whichever worker asks, keeps the
// checkpoint and adds up the parts' exact sums; every other rank plays parts on all its cores.
// The sums are integers, so the result is the one a single process gives, digit for digit.
//   mpirun -np 9 studlab-exact-mpi --design game.es1 --checkpoint game.checkpoint
#include <mpi.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <iostream>
#include <optional>
#include <thread>
#include <vector>

#include "cli/exact_report.h"
#include "text/number_text.h"

namespace studlab::cli {
namespace {

enum TTag : int { tgAsk = 1, tgPart = 2, tgDone = 3 };

// A part's sums travel as their text, which takes them back exactly.
void SendText(const std::string& text, int to, int tag) {
    MPI_Send(text.data(), static_cast<int>(text.size()), MPI_CHAR, to, tag, MPI_COMM_WORLD);
}

std::string ReceiveText(const MPI_Status& status) {
    int size = 0;
    MPI_Get_count(&status, MPI_CHAR, &size);
    std::string text(static_cast<std::size_t>(size), '\0');
    MPI_Recv(text.data(), size, MPI_CHAR, status.MPI_SOURCE, status.MPI_TAG, MPI_COMM_WORLD,
             MPI_STATUS_IGNORE);
    return text;
}

// Rank 0: hands out the parts not yet done, records each finished one, adds them up.
TExactReport Coordinate(const TExactOptions& options, int ranks) {
    const TExactGame game = ExactGameOf(options);
    const TLayoutClasses classes(game.DealerOpenCards());
    const auto started = std::chrono::steady_clock::now();
    const std::vector<TLayoutCursor> starts = classes.BatchStarts(options.Run.BatchSize);
    const auto batchCount = static_cast<std::int64_t>(starts.size());
    std::optional<TCheckpoint> checkpoint;
    if (!options.CheckpointFile.empty()) {
        checkpoint.emplace(options.CheckpointFile, ExactFingerprint(options), options.Run.BatchSize,
                           batchCount);
    }
    TExactReport report;
    report.WithBestPlay = game.WithBestPlay();
    report.Notes = ExactNotes(game);
    report.DealerOpenCards = game.DealerOpenCards();
    std::vector<std::int64_t> todo;
    for (std::int64_t b = 0; b < batchCount; ++b) {
        const TExactSums* done =
            checkpoint ? checkpoint->Done()[static_cast<std::size_t>(b)].get() : nullptr;
        if (done != nullptr) {
            report.Sums += *done;
        } else {
            todo.push_back(b);
        }
    }
    const bool progress = !options.Json && isatty(STDERR_FILENO) != 0;
    std::size_t next = 0;
    std::size_t finished = 0;
    // The run ends when every worker has been told that nothing is left and every part handed
    // out has come back: a worker plays several parts at once, and is told so while it still
    // plays the others.
    int workersLeft = ranks - 1;
    std::int64_t playing = 0;
    std::vector<int> threadsOf(static_cast<std::size_t>(ranks), 0);
    while (workersLeft > 0 || playing > 0) {
        MPI_Status status;
        MPI_Probe(MPI_ANY_SOURCE, MPI_ANY_TAG, MPI_COMM_WORLD, &status);
        if (status.MPI_TAG == tgAsk) {
            int threads = 0;
            MPI_Recv(&threads, 1, MPI_INT, status.MPI_SOURCE, tgAsk, MPI_COMM_WORLD,
                     MPI_STATUS_IGNORE);
            threadsOf[static_cast<std::size_t>(status.MPI_SOURCE)] = threads;
            const std::int64_t batch =
                next < todo.size() ? todo[next++] : std::int64_t{-1};  // -1: nothing left
            MPI_Send(&batch, 1, MPI_INT64_T, status.MPI_SOURCE, tgPart, MPI_COMM_WORLD);
            if (batch < 0) {
                --workersLeft;
            } else {
                ++playing;
            }
            continue;
        }
        // A finished part: "batch sums".
        const std::string text = ReceiveText(status);
        const std::size_t blank = text.find(' ');
        const std::int64_t batch = std::stoll(text.substr(0, blank));
        const std::optional<TExactSums> sums = TExactSums::FromText(text.substr(blank + 1));
        if (!sums) throw std::runtime_error("a worker sent sums that cannot be read");
        if (checkpoint) checkpoint->Record(batch, *sums);
        report.Sums += *sums;
        --playing;
        ++finished;
        if (progress) {
            std::fprintf(stderr, "\r%zu / %zu", finished, todo.size());
            std::fflush(stderr);
        }
    }
    for (const int threads : threadsOf) report.Threads += threads;
    report.Ranks = ranks;
    // Every part counted once: otherwise the figures are not the game's and are not printed.
    RequireEveryClass(report.Sums, classes);
    if (progress) std::fprintf(stderr, "\r%-40s\r", "");
    report.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return report;
}

// Every other rank: asks for a part for each idle core, plays it there, sends its sums back. Each
// request carries the rank's threads, which rank 0 reports.
void Work(const TExactOptions& options) {
    const TExactGame game = ExactGameOf(options);
    const TLayoutClasses classes(game.DealerOpenCards());
    const std::vector<TLayoutCursor> starts = classes.BatchStarts(options.Run.BatchSize);
    const int threads = options.Run.Threads > 0
                            ? options.Run.Threads
                            : static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    std::atomic<bool> stop{false};
    std::atomic<std::int64_t> played{0};
    struct TRunning {
        std::int64_t Batch;
        std::future<TExactSums> Sums;
    };
    std::vector<std::unique_ptr<IClassPlay>> plays;
    for (int t = 0; t < threads; ++t) plays.push_back(game.NewPlay());
    std::vector<std::optional<TRunning>> running(static_cast<std::size_t>(threads));
    bool more = true;
    for (;;) {
        bool busy = false;
        for (std::size_t slot = 0; slot < running.size(); ++slot) {
            std::optional<TRunning>& r = running[slot];
            if (r && r->Sums.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready) {
                SendText(std::to_string(r->Batch) + " " + r->Sums.get().ToText(), 0, tgDone);
                r.reset();
            }
            if (!r && more) {
                const int mine = threads;
                MPI_Send(&mine, 1, MPI_INT, 0, tgAsk, MPI_COMM_WORLD);
                std::int64_t batch = -1;
                MPI_Recv(&batch, 1, MPI_INT64_T, 0, tgPart, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
                if (batch < 0) {
                    more = false;
                } else {
                    IClassPlay& play = *plays[slot];
                    const TLayoutCursor start = starts[static_cast<std::size_t>(batch)];
                    r = TRunning{batch, std::async(std::launch::async,
                                                   [&, start, batchSize = options.Run.BatchSize] {
                                                       return PlayBatch(classes, start, batchSize,
                                                                        play, stop, played);
                                                   })};
                }
            }
            busy = busy || r.has_value();
        }
        if (!busy && !more) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace
}  // namespace studlab::cli

int main(int argc, char** argv) {
    using namespace studlab::cli;
    MPI_Init(&argc, &argv);
    int rank = 0;
    int ranks = 1;
    MPI_Comm_rank(MPI_COMM_WORLD, &rank);
    MPI_Comm_size(MPI_COMM_WORLD, &ranks);
    CLI::App app{"studlab-exact-mpi: the exact analysis of a game across the ranks of mpirun"};
    TExactOptions options;
    options.AddTo(app);
    int code = 0;
    try {
        app.parse(argc, argv);
        if (ranks < 2) throw TUsageError("run under mpirun with at least two ranks (-np 2)");
        if (options.Sample > 0)
            throw TUsageError("--sample runs on one machine: studlab-cli exact");
        if (rank == 0) {
            CheckStrategyFile(options);
            const TExactReport report = Coordinate(options, ranks);
            // The figures first: a strategy file that fails at the end does not take them away.
            PrintExactReport(report, options.Json, std::cout);
            std::cout.flush();
            if (!std::cout) throw std::runtime_error("the result could not be written");
            WriteStrategyFile(report, options);
        } else {
            Work(options);
        }
    } catch (const CLI::ParseError& e) {
        code = rank == 0 ? (app.exit(e) == 0 ? 0 : 2) : 2;
    } catch (const TUsageError& e) {
        if (rank == 0) std::cerr << "error: " << e.what() << '\n';
        code = 2;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        code = 1;
    }
    if (code != 0) MPI_Abort(MPI_COMM_WORLD, code);
    MPI_Finalize();
    return code;
}
