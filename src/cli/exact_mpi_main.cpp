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

// Rank 0 speaks to a worker with one 64-bit number per message: a part to play (tgPart, -1 for
// nothing left), "stop playing" (tgStop) and "you may end" (tgEnd, the answer to its tgBye). A
// worker asks (tgAsk, carrying its threads), sends a part's sums back (tgDone) and says it has
// finished (tgBye). Messages between two ranks arrive in the order they were sent.
// Rank 0's run was interrupted and every worker has ended.
struct TInterrupted {};

enum TTag : int { tgAsk = 1, tgPart = 2, tgDone = 3, tgStop = 4, tgBye = 5, tgEnd = 6 };

// A part's sums travel as their text, which takes them back exactly; a part a stop cut short
// travels as "-".
constexpr const char* kCutShort = "-";

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

void SendNumber(std::int64_t value, int to, int tag) {
    MPI_Send(&value, 1, MPI_INT64_T, to, tag, MPI_COMM_WORLD);
}

// Rank 0: hands out the parts not yet done, records each finished one, adds them up. SIGINT or
// SIGTERM (mpirun passes them on as SIGTERM), or a worker's part cut short by its own signal,
// stops the run: the workers are told, the parts finished so far stay in the checkpoint, and the
// report says how far the run came.
TExactReport Coordinate(const TExactOptions& options, int ranks) {
    const std::atomic<bool>& interrupted = CatchInterrupts();
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
    report.TotalClasses = classes.ClassCount();
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
    bool stopping = false;
    std::vector<bool> ended(static_cast<std::size_t>(ranks), false);
    ended[0] = true;
    int working = ranks - 1;
    std::vector<int> threadsOf(static_cast<std::size_t>(ranks), 0);
    const auto stop = [&] {
        if (stopping) return;
        stopping = true;
        for (int r = 1; r < ranks; ++r) {
            if (!ended[static_cast<std::size_t>(r)]) SendNumber(0, r, tgStop);
        }
        if (finished == todo.size()) return;  // nothing was left: the figures stand
        // mpirun kills the ranks about a second after it passed a signal on, so what the run
        // finished is said now; parts that come back after this are not recorded (a resumed run
        // plays them again), so that the report and the checkpoint agree.
        report.Cancelled = true;
        if (progress) std::fprintf(stderr, "\r%-40s\r", "");
        PrintInterruptedReport(report, options, std::cout);
        std::cout.flush();
        std::cerr << "error: расчет прерван" << std::endl;
    };
    // The run ends when every worker has said it finished: a worker plays several parts at once
    // and says so only when none is left running.
    while (working > 0) {
        if (interrupted.load()) stop();
        int arrived = 0;
        MPI_Status status;
        MPI_Iprobe(MPI_ANY_SOURCE, MPI_ANY_TAG, MPI_COMM_WORLD, &arrived, &status);
        if (arrived == 0) {
            // A short nap rather than a blocking probe, which would spin a core and miss signals.
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        const int from = status.MPI_SOURCE;
        if (status.MPI_TAG == tgAsk) {
            int threads = 0;
            MPI_Recv(&threads, 1, MPI_INT, from, tgAsk, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
            threadsOf[static_cast<std::size_t>(from)] = threads;
            const bool more = !stopping && next < todo.size();
            SendNumber(more ? todo[next++] : -1, from, tgPart);
            continue;
        }
        if (status.MPI_TAG == tgBye) {
            int none = 0;
            MPI_Recv(&none, 1, MPI_INT, from, tgBye, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
            ended[static_cast<std::size_t>(from)] = true;
            --working;
            SendNumber(0, from, tgEnd);
            continue;
        }
        // A part: "batch sums", or "batch -" when a stop cut it short.
        const std::string text = ReceiveText(status);
        const std::size_t blank = text.find(' ');
        const std::int64_t batch = std::stoll(text.substr(0, blank));
        if (text.substr(blank + 1) == kCutShort) {
            stop();
            continue;
        }
        if (report.Cancelled) continue;  // after the report of the interrupted run
        const std::optional<TExactSums> sums = TExactSums::FromText(text.substr(blank + 1));
        if (!sums) throw std::runtime_error("a worker sent sums that cannot be read");
        if (checkpoint) checkpoint->Record(batch, *sums);
        report.Sums += *sums;
        ++finished;
        if (progress) {
            std::fprintf(stderr, "\r%zu / %zu", finished, todo.size());
            std::fflush(stderr);
        }
    }
    for (const int threads : threadsOf) report.Threads += threads;
    report.Ranks = ranks;
    if (progress) std::fprintf(stderr, "\r%-40s\r", "");
    report.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // Every part counted once: otherwise the figures are not the game's and are not printed.
    if (!report.Cancelled) RequireEveryClass(report.Sums, classes);
    return report;
}

// Every other rank: asks for a part for each idle core, plays it there, sends its sums back. Each
// request carries the rank's threads, which rank 0 reports. A stop from rank 0 or the rank's own
// SIGINT or SIGTERM cuts the running parts short; then the rank says it finished and waits for
// rank 0's leave, so that no message is left unreceived.
void Work(const TExactOptions& options) {
    const std::atomic<bool>& interrupted = CatchInterrupts();
    const TExactGame game = ExactGameOf(options);
    const TLayoutClasses classes(game.DealerOpenCards());
    const std::vector<TLayoutCursor> starts = classes.BatchStarts(options.Run.BatchSize);
    const int threads = options.Run.Threads > 0
                            ? options.Run.Threads
                            : static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    std::atomic<bool> stop{false};
    std::atomic<std::int64_t> played{0};
    // A message from rank 0: a part, a stop or the leave to end.
    const auto receive = [&stop](int& tag) {
        std::int64_t value = 0;
        MPI_Status status;
        MPI_Recv(&value, 1, MPI_INT64_T, 0, MPI_ANY_TAG, MPI_COMM_WORLD, &status);
        tag = status.MPI_TAG;
        if (tag == tgStop) stop = true;
        return value;
    };
    struct TRunning {
        std::int64_t Batch;
        std::future<TExactSums> Sums;
    };
    std::vector<std::unique_ptr<IClassPlay>> plays;
    for (int t = 0; t < threads; ++t) plays.push_back(game.NewPlay());
    std::vector<std::optional<TRunning>> running(static_cast<std::size_t>(threads));
    bool more = true;
    for (;;) {
        if (interrupted.load()) stop = true;
        int arrived = 0;
        MPI_Iprobe(0, tgStop, MPI_COMM_WORLD, &arrived, MPI_STATUS_IGNORE);
        if (arrived != 0) {
            int tag = 0;
            receive(tag);
        }
        bool busy = false;
        for (std::size_t slot = 0; slot < running.size(); ++slot) {
            std::optional<TRunning>& r = running[slot];
            if (r && r->Sums.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready) {
                TExactSums sums = r->Sums.get();
                // A part that may have been cut short is not sent: a resumed run plays it again.
                SendText(std::to_string(r->Batch) + " " + (stop ? kCutShort : sums.ToText()), 0,
                         tgDone);
                r.reset();
            }
            while (!r && more && !stop) {
                const int mine = threads;
                MPI_Send(&mine, 1, MPI_INT, 0, tgAsk, MPI_COMM_WORLD);
                int tag = tgStop;
                std::int64_t batch = -1;
                while (tag == tgStop) batch = receive(tag);  // a stop may come before the answer
                if (batch < 0) {
                    more = false;
                } else if (stop) {
                    // Stopped while asking: the part is given back unplayed.
                    SendText(std::to_string(batch) + " " + kCutShort, 0, tgDone);
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
        if (!busy && (!more || stop)) break;
        // Until a part finishes, or a while to look for a stop: short parts follow each other
        // without a pause.
        for (std::optional<TRunning>& r : running) {
            if (r) {
                r->Sums.wait_for(std::chrono::milliseconds(2));
                break;
            }
        }
    }
    const int none = 0;
    MPI_Send(&none, 1, MPI_INT, 0, tgBye, MPI_COMM_WORLD);
    int tag = 0;
    while (tag != tgEnd) receive(tag);
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
    bool interrupted = false;
    try {
        app.parse(argc, argv);
        if (ranks < 2) throw TUsageError("run under mpirun with at least two ranks (-np 2)");
        if (options.Sample > 0)
            throw TUsageError("--sample runs on one machine: studlab-cli exact");
        if (!options.StrategyStoreFile.empty())
            throw TUsageError("--strategy-store runs on one machine: studlab-cli exact");
        if (rank == 0) {
            CheckStrategyFile(options);
            const TExactReport report = Coordinate(options, ranks);
            if (report.Cancelled) throw TInterrupted();  // said when the run stopped
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
    } catch (const TInterrupted&) {
        // Every rank has ended its part of the run: the processes end as usual.
        interrupted = true;
        code = 1;
    } catch (const TUsageError& e) {
        if (rank == 0) std::cerr << "error: " << e.what() << '\n';
        code = 2;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        code = 1;
    }
    if (code != 0 && !interrupted) MPI_Abort(MPI_COMM_WORLD, code);
    MPI_Finalize();
    return code;
}
