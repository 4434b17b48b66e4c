#include "profit/exact/pay_solver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "cards/composites.h"
#include "design/composite_captions.h"
#include "design/design_numbers.h"
#include "design/design_rules.h"
#include "profit/exact/exact_job.h"
#include "profit/exact/hand_play.h"
#include "text/number_text.h"

namespace studlab {
namespace {

// A payout field: paid when the player wins against a dealer with a game (qualified) or when the
// dealer has none (not qualified), for one kind.
struct TPayField {
    bool Qualified = true;
    TCombinationKind Kind = TCombinationKind::ckNoGame;
};

TPayField ParsePayField(const std::string& name) {
    for (bool qualified : {true, false}) {
        for (TCombinationKind k : kCountedKinds) {
            const std::string field =
                std::string(qualified ? "PayQualified[" : "PayNotQualified[") +
                std::string(KindCodeName(k)) + "]";
            if (field == name) return {qualified, k};
        }
    }
    throw TPaySolverError("'" + name +
                          "' is not a payout field; the payouts are PayQualified[KIND] and "
                          "PayNotQualified[KIND] for ckRoyalFlush .. ckAceKing");
}

TNumberText& FieldText(TGameDesign& design, const TPayField& field) {
    return field.Qualified ? design.PayQualified[field.Kind] : design.PayNotQualified[field.Kind];
}
const TNumberText& FieldText(const TGameDesign& design, const TPayField& field) {
    return field.Qualified ? design.PayQualified[field.Kind] : design.PayNotQualified[field.Kind];
}

// The checked request: fields, grid and the order the monotone constraint walks them in.
struct TGrid {
    std::vector<TPayField> Fields;
    long double Step = 0.5;
    std::int64_t Low = 0;    // the grid's first multiple of the step
    std::int64_t Count = 0;  // values per field
    // The fields in walking order: the qualified payouts strongest first, then the others; a
    // field must not pay more than the one before it of its own family.
    std::vector<std::size_t> Order;
    std::vector<bool> FollowsSameFamily;  // by walking position

    long double Value(std::int64_t index) const {
        return static_cast<long double>(Low + index) * Step;
    }
};

std::string Text(long double value) {
    return FormatNumber(value);
}

TGrid MakeGrid(const TPaySolverRequest& request, long double cap) {
    TGrid grid;
    if (request.Fields.empty()) throw TPaySolverError("no payout to vary was named");
    for (std::size_t i = 0; i < request.Fields.size(); ++i) {
        const TPayField field = ParsePayField(request.Fields[i]);
        for (std::size_t j = 0; j < i; ++j) {
            if (request.Fields[j] == request.Fields[i])
                throw TPaySolverError("'" + request.Fields[i] + "' is named twice");
        }
        grid.Fields.push_back(field);
    }
    if (!std::isfinite(request.TargetMoPercent) || std::fabs(request.TargetMoPercent) > 1e6)
        throw TPaySolverError("the target MO is not a percentage a game can have");
    if (!(request.TolerancePercent >= 0) || !std::isfinite(request.TolerancePercent))
        throw TPaySolverError("the tolerance must be 0 or more");
    if (request.MaxRuns < 1) throw TPaySolverError("at least one analysis must be allowed");
    const long double step = request.Step;
    if (!(step >= 0.0001L) || step > 1e6L || !PayoutInSinglePrecision(request.Step))
        throw TPaySolverError("the step must be an amount from 0,0001 to 1000000 antes");
    const long double low = request.Min.value_or(0);
    const long double high = request.Max ? static_cast<long double>(*request.Max) : cap;
    if (!std::isfinite(static_cast<double>(low)) || !std::isfinite(static_cast<double>(high)) ||
        std::fabs(low) > kLargestDesignAmount || std::fabs(high) > kLargestDesignAmount)
        throw TPaySolverError("the bounds must lie within ±1000000000 antes");
    if (low > high)
        throw TPaySolverError("the lowest payout " + Text(low) + " is above the highest " +
                              Text(high));
    grid.Step = step;
    grid.Low = static_cast<std::int64_t>(std::ceil(low / step - 1e-9L));
    const auto last = static_cast<std::int64_t>(std::floor(high / step + 1e-9L));
    grid.Count = last - grid.Low + 1;
    if (grid.Count < 1)
        throw TPaySolverError("no multiple of the step " + Text(step) + " lies from " + Text(low) +
                              " to " + Text(high));
    for (long double end : {grid.Value(0), grid.Value(grid.Count - 1)}) {
        if (!PayoutInSinglePrecision(static_cast<double>(end)))
            throw TPaySolverError("the payout " + Text(end) +
                                  " is not held exactly by a single-precision payout");
    }
    for (std::size_t i = 0; i < grid.Fields.size(); ++i) grid.Order.push_back(i);
    std::stable_sort(grid.Order.begin(), grid.Order.end(), [&](std::size_t a, std::size_t b) {
        const TPayField& fa = grid.Fields[a];
        const TPayField& fb = grid.Fields[b];
        if (fa.Qualified != fb.Qualified) return fa.Qualified;
        return KindIndex(fa.Kind) < KindIndex(fb.Kind);
    });
    for (std::size_t p = 0; p < grid.Order.size(); ++p) {
        grid.FollowsSameFamily.push_back(p > 0 && grid.Fields[grid.Order[p]].Qualified ==
                                                      grid.Fields[grid.Order[p - 1]].Qualified);
    }
    return grid;
}

// Non-increasing sequences of m values out of n: C(n + m - 1, m), saturated.
long double MonotoneCount(std::int64_t n, std::size_t m) {
    long double c = 1;
    for (std::size_t i = 1; i <= m; ++i) {
        c = c * static_cast<long double>(n - 1 + static_cast<std::int64_t>(i)) /
            static_cast<long double>(i);
    }
    return c;
}

long double TableCount(const TGrid& grid) {
    std::size_t qualified = 0;
    for (const TPayField& f : grid.Fields) qualified += f.Qualified ? 1 : 0;
    return MonotoneCount(grid.Count, qualified) *
           MonotoneCount(grid.Count, grid.Fields.size() - qualified);
}

// An analysed pay table: its MO and each field's weight, the chance per hand of the outcome the
// field pays, so that MO(x) = MO - 100 * sum(weight * (x - payout)) while the play stays.
struct TAnchor {
    std::vector<long double> Payouts;
    long double MoPercent = 0;
    std::vector<long double> Weights;
};

// The lexicographic order of closeness: the distance in whole tolerances, then the change from
// the design (the sum of the squared changes of the payouts), then the smaller payouts.
struct TCloseness {
    long double Band = 0;
    long double Change = 0;
};

bool Closer(const TCloseness& a, const TCloseness& b) {
    if (a.Band != b.Band) return a.Band < b.Band;
    return a.Change < b.Change;
}

class TSolver {
public:
    TSolver(const TGrid& grid, const TPaySolverRequest& request, std::vector<long double> design,
            long double cap, const std::atomic<bool>* stop)
        : m_grid(grid), m_request(request), m_design(std::move(design)), m_cap(cap), m_stop(stop) {}

    // Whether a stop came while the grid was looked through.
    bool Stopped() const { return m_stopped; }

    void AddAnchor(TAnchor anchor) { m_anchors.push_back(std::move(anchor)); }

    TCloseness ClosenessOf(long double mo, const std::vector<long double>& payouts) const {
        const long double distance = std::fabs(mo - m_request.TargetMoPercent);
        TCloseness c;
        c.Band = m_request.TolerancePercent > 0 ? std::floor(distance / m_request.TolerancePercent)
                                                : distance;
        // Squares: a change spread over the payouts is nearer than the same sum on one of them.
        for (std::size_t i = 0; i < payouts.size(); ++i) {
            const long double d = payouts[i] - m_design[i];
            c.Change += d * d;
        }
        return c;
    }

    // The MO foreseen for the payouts from the nearest analysed pay table (ties to the later
    // analysis), and how far that one lies: the sum of the payouts' changes, antes.
    long double Foresee(const std::vector<long double>& x, long double& distance) const {
        const TAnchor* nearest = nullptr;
        distance = std::numeric_limits<long double>::infinity();
        for (const TAnchor& a : m_anchors) {
            long double d = 0;
            for (std::size_t i = 0; i < x.size(); ++i) d += std::fabs(x[i] - a.Payouts[i]);
            if (d <= distance) {
                distance = d;
                nearest = &a;
            }
        }
        long double mo = nearest->MoPercent;
        for (std::size_t i = 0; i < x.size(); ++i) {
            // The table maximum caps a win against a dealer with a game, not the payout of a
            // dealer without one.
            const bool capped = m_grid.Fields[i].Qualified;
            const long double now = capped ? std::min(x[i], m_cap) : x[i];
            const long double then = capped ? std::min(nearest->Payouts[i], m_cap)
                                            : nearest->Payouts[i];
            mo -= 100 * nearest->Weights[i] * (now - then);
        }
        return mo;
    }

    // Payouts read from the design and those of the grid may differ in the last bits.
    bool Analysed(long double distance) const { return distance < 1e-6L * m_grid.Step; }

    // A foresight that missed the analysis by `percent` of MO at `distance` antes from the
    // table it came from.
    void AddMiss(long double percent, long double distance) {
        if (distance > 0) m_misses.push_back({percent, distance});
    }

    // How far the foresight may miss at `distance` antes from its analysed table, by the misses
    // shown so far: each grows with the distance, in proportion below the distance it was shown
    // at (a play that changes at a threshold) and with its square beyond (the play changes more
    // the further the payouts move).
    long double PossibleMiss(long double distance) const {
        long double miss = 0;
        for (const TMiss& m : m_misses) {
            const long double t = distance / m.Distance;
            miss = std::max(miss, m.Percent * std::max(t, t * t));
        }
        return miss;
    }

    // The closeness of the best analysed candidate, which another table must beat.
    void SetToBeat(std::optional<TCloseness> closeness) { m_toBeat = closeness; }

    // Of the pay tables not yet analysed that, by the misses shown, may be closer to the target
    // than the best analysed one, the one foreseen closest; none when no table may.
    std::optional<std::vector<long double>> Best(TCloseness& closeness, long double& foreseen,
                                                 long double& distance) {
        m_x.assign(m_grid.Fields.size(), 0);
        m_found = false;
        Walk(0, m_grid.Count - 1);
        if (!m_found) return std::nullopt;
        closeness = m_bestCloseness;
        foreseen = m_bestMo;
        distance = m_bestDistance;
        return m_best;
    }

private:
    void Walk(std::size_t position, std::int64_t top) {
        if (m_stopped) return;
        if (position == m_grid.Order.size()) {
            // A stop is looked for every 65,536 pay tables: the grid may hold millions.
            if ((++m_considered & 0xFFFF) == 0 && m_stop != nullptr && m_stop->load()) {
                m_stopped = true;
                return;
            }
            Consider();
            return;
        }
        const std::int64_t highest = m_grid.FollowsSameFamily[position] ? top : m_grid.Count - 1;
        for (std::int64_t i = 0; i <= highest; ++i) {
            m_x[m_grid.Order[position]] = m_grid.Value(i);
            Walk(position + 1, i);
        }
    }

    void Consider() {
        long double distance = 0;
        const long double mo = Foresee(m_x, distance);
        if (Analysed(distance)) return;
        const long double foreseen = std::fabs(mo - m_request.TargetMoPercent);
        if (m_toBeat) {
            // The most the foresight may have missed in this table's favour.
            const long double mayBe = std::max(0.0L, foreseen - PossibleMiss(distance));
            if (!Closer(ClosenessOf(m_request.TargetMoPercent + mayBe, m_x), *m_toBeat)) return;
        }
        const TCloseness c = ClosenessOf(m_request.TargetMoPercent + foreseen, m_x);
        // Within equal closeness the walk meets smaller payouts first and keeps them.
        if (!m_found || Closer(c, m_bestCloseness)) {
            m_found = true;
            m_bestCloseness = c;
            m_best = m_x;
            m_bestMo = mo;
            m_bestDistance = distance;
        }
    }

    const TGrid& m_grid;
    const TPaySolverRequest& m_request;
    std::vector<long double> m_design;
    long double m_cap;
    const std::atomic<bool>* m_stop;
    bool m_stopped = false;
    std::uint64_t m_considered = 0;
    std::vector<TAnchor> m_anchors;

    std::vector<long double> m_x;
    bool m_found = false;
    TCloseness m_bestCloseness;
    std::vector<long double> m_best;
    long double m_bestMo = 0;
    long double m_bestDistance = 0;
    struct TMiss {
        long double Percent = 0;
        long double Distance = 0;
    };
    std::vector<TMiss> m_misses;
    std::optional<TCloseness> m_toBeat;
};

std::vector<double> AsDoubles(const std::vector<long double>& values) {
    return {values.begin(), values.end()};
}

bool OnGridInOrder(const TGrid& grid, const std::vector<long double>& x) {
    for (std::size_t i = 0; i < x.size(); ++i) {
        const long double k = x[i] / grid.Step;
        if (std::fabs(k - std::nearbyint(k)) > 1e-9L) return false;
        const auto index = static_cast<std::int64_t>(std::nearbyint(k)) - grid.Low;
        if (index < 0 || index >= grid.Count) return false;
    }
    for (std::size_t p = 1; p < grid.Order.size(); ++p) {
        if (grid.FollowsSameFamily[p] && x[grid.Order[p]] > x[grid.Order[p - 1]]) return false;
    }
    return true;
}

// The insured bet is offered at some stage and a varied payout's kind is insurable.
bool InsuredPayoutsVaried(const TGrid& grid, const TGameDesign& design) {
    bool offered = false;
    for (int stage = 1; stage <= kStages; ++stage)
        offered = offered || design.Allows(stage, TPlayerAction::paBetInsured);
    return offered && std::any_of(grid.Fields.begin(), grid.Fields.end(), [&](const TPayField& f) {
               return design.Insurable[f.Kind];
           });
}

// A varied payout that a composite pay that is on also pays (the sum of its two kinds' payouts,
// where more than the hand's own): the return table counts those hands under the hand's kind
// with the payout it got, so their share of the payout has no weight in the foresight.
std::vector<TCompositeWarning> CompositeWarnings(const TGrid& grid,
                                                 const TPaySolverRequest& request,
                                                 const TEvalRules& rules) {
    std::vector<TCompositeWarning> warnings;
    for (std::size_t i = 0; i < grid.Fields.size(); ++i) {
        const TPayField& f = grid.Fields[i];
        if (!f.Qualified) continue;  // composites pay only against a dealer with a game
        TCompositeWarning warning{request.Fields[i], {}};
        for (int c = 0; c < kCompositeCount; ++c) {
            const TCompositeKinds& kinds = kCompositeKinds[static_cast<std::size_t>(c)];
            if (!rules.CompositePays[static_cast<std::size_t>(c)] ||
                !rules.Counting.Plays[kinds.First] || !rules.Counting.Plays[kinds.Second])
                continue;
            if (kinds.First != f.Kind && kinds.Second != f.Kind) continue;
            warning.Composites.emplace_back(kCompositeCaptions[static_cast<std::size_t>(c)]);
        }
        if (!warning.Composites.empty()) warnings.push_back(std::move(warning));
    }
    return warnings;
}

}  // namespace

std::filesystem::path CheckpointIn(const std::filesystem::path& folder, const TGameDesign& design,
                                   const TCalculationSettings& settings) {
    return folder / (ExactFingerprint(design, settings, true) + ".checkpoint");
}

const char* StopReasonCode(TPaySolverStop stop) {
    switch (stop) {
        case TPaySolverStop::psWithinTolerance: return "within_tolerance";
        case TPaySolverStop::psNoneForeseenCloser: return "none_foreseen_closer";
        case TPaySolverStop::psRunsRanOut: return "runs_ran_out";
        case TPaySolverStop::psInterrupted: return "interrupted";
    }
    return "";
}

std::string StopReasonText(const TPaySolution& s) {
    switch (s.Stop) {
        case TPaySolverStop::psWithinTolerance:
            return "an analysed pay table lies within the tolerance of the target";
        case TPaySolverStop::psNoneForeseenCloser:
            return "no pay table not yet analysed can be closer to the target than the chosen "
                   "one, even if its foresight missed as far as the foresights so far did at its "
                   "distance (the largest miss: " +
                   FormatNumber(std::nearbyint(s.LargestMissPercent * 10000) / 10000) +
                   " percentage points of MO)";
        case TPaySolverStop::psRunsRanOut:
            return "the analyses allowed ran out; a closer pay table may still be found";
        case TPaySolverStop::psInterrupted: return "interrupted";
    }
    return "";
}

std::string WarningText(const TCompositeWarning& warning) {
    std::string composites;
    for (const std::string& c : warning.Composites)
        composites += (composites.empty() ? "\"" : ", \"") + c + "\"";
    return warning.Field + " is also paid within the composite pay " + composites +
           ", which is on: the foresight gives those wins no weight and misses where they are "
           "paid; the search goes by the misses its analyses show";
}

std::string InsuranceWarningText() {
    return "the insured bet is offered and a varied payout is insurable: an insured win's payout "
           "goes into the insured amount, which the foresight gives no weight; the search goes by "
           "the misses its analyses show";
}

long double HitFrequencyPercent(const TExactFigures& figures) {
    long double share = 0;
    for (const TExactFigures::TReturnRow& row : figures.Returns) {
        if (row.Outcome == TFinalOutcome::foWon || row.Outcome == TFinalOutcome::foDealerNoGame)
            share += row.Probability;
    }
    return share * 100;
}

TGameDesign WithPayouts(const TGameDesign& design, const std::vector<std::string>& fields,
                        const std::vector<double>& payouts) {
    TGameDesign d = design;
    for (std::size_t i = 0; i < fields.size() && i < payouts.size(); ++i) {
        FieldText(d, ParsePayField(fields[i])) = FormatNumber(payouts[i]);
    }
    return d;
}

std::int64_t CountPayTables(const TGameDesign& design, const TCalculationSettings& settings,
                            const TPaySolverRequest& request) {
    const TEvalRules rules = MakeEvalRules(design, settings);
    const TGrid grid = MakeGrid(request, rules.TableMaximum);
    const long double count = TableCount(grid);
    if (count > static_cast<long double>(kMostPayTables)) {
        throw TPaySolverError("the grid holds about " + FormatNumber(std::floor(count)) +
                              " pay tables, more than " + std::to_string(kMostPayTables) +
                              " the solver looks through: narrow the bounds, take a larger step "
                              "or vary fewer payouts");
    }
    return static_cast<std::int64_t>(count);
}

TPaySolution SolvePayouts(const TGameDesign& design, const TCalculationSettings& settings,
                          const TPaySolverRequest& request, const TExactRunOptions& run,
                          const std::function<void(const TPaySolverProgress&)>& progress) {
    const auto began = std::chrono::steady_clock::now();
    // The design must be one the analysis plays, with numbers that convert.
    const TExactGame designGame(design, settings);
    const long double cap = designGame.Rules().TableMaximum;
    TPaySolution solution;
    solution.Fields = request.Fields;
    solution.Candidates = CountPayTables(design, settings, request);
    const TGrid grid = MakeGrid(request, cap);

    solution.Warnings = CompositeWarnings(grid, request, designGame.Rules());
    solution.InsuredPayoutsVaried = InsuredPayoutsVaried(grid, design);
    std::vector<long double> own;
    for (const TPayField& f : grid.Fields) {
        own.push_back(ReadRealField(design, settings, FieldText(design, f)));
    }
    TSolver solver(grid, request, own, cap, run.Stop);

    std::optional<long double> foreseen;
    long double foreseenFrom = 0;
    std::vector<long double> next = own;
    solution.Stop = TPaySolverStop::psRunsRanOut;
    const auto closeness = [&](std::size_t trial) {
        const TPayTrial& t = solution.Trials[trial];
        return solver.ClosenessOf(t.MoPercent,
                                  std::vector<long double>(t.Payouts.begin(), t.Payouts.end()));
    };
    for (int runs = 0;; ++runs) {
        if (runs == request.MaxRuns) break;
        // Analyse `next`.
        const TGameDesign trialDesign = WithPayouts(design, request.Fields, AsDoubles(next));
        const TExactGame game(trialDesign, settings);
        const TLayoutClasses classes(game.DealerOpenCards());
        TExactRunOptions options = run;
        if (!request.CheckpointFolder.empty()) {
            options.Checkpoint = CheckpointIn(request.CheckpointFolder, trialDesign, settings);
            options.Fingerprint = ExactFingerprint(trialDesign, settings, true);
        }
        options.Progress = [&](const TExactProgress& p) {
            if (progress) progress({runs + 1, request.MaxRuns, p});
        };
        const TExactRunResult result = RunExactAnalysis(
            classes, [&game] { return game.NewPlay(); }, options);
        if (result.Cancelled) {
            solution.Stop = TPaySolverStop::psInterrupted;
            break;
        }
        const TExactFigures figures = FiguresOf(result.Sums);
        TPayTrial trial;
        trial.Payouts = AsDoubles(next);
        trial.MoPercent = figures.MoPercent;
        trial.BestMoPercent = figures.BestMoPercent;
        trial.HitFrequencyPercent = HitFrequencyPercent(figures);
        trial.PredictedMoPercent = foreseen;
        trial.ForesightDistance = static_cast<double>(foreseenFrom);
        trial.Candidate = OnGridInOrder(grid, next);
        trial.Seconds = result.Seconds;
        // Where the foresight missed, the play moved over that distance.
        if (foreseen) {
            const long double miss = std::fabs(figures.MoPercent - *foreseen);
            solver.AddMiss(miss, foreseenFrom);
            solution.LargestMissPercent = std::max(solution.LargestMissPercent, miss);
        }
        solution.Trials.push_back(trial);
        const std::size_t index = solution.Trials.size() - 1;
        if (trial.Candidate &&
            (!solution.Chosen || Closer(closeness(index), closeness(*solution.Chosen))))
            solution.Chosen = index;

        TAnchor anchor;
        anchor.Payouts = next;
        anchor.MoPercent = figures.MoPercent;
        for (const TPayField& f : grid.Fields) {
            const TFinalOutcome paid =
                f.Qualified ? TFinalOutcome::foWon : TFinalOutcome::foDealerNoGame;
            long double weight = 0;
            for (const TExactFigures::TReturnRow& row : figures.Returns) {
                if (row.Kind == f.Kind && row.Outcome == paid) weight += row.Probability;
            }
            anchor.Weights.push_back(weight);
        }
        solver.AddAnchor(std::move(anchor));
        // A table analysed within the tolerance of the target is an answer: another could only
        // win the tie of equal closeness by a smaller change, which is not worth an analysis.
        if (solution.Chosen && request.TolerancePercent > 0 &&
            closeness(*solution.Chosen).Band == 0) {
            solution.Stop = TPaySolverStop::psWithinTolerance;
            break;
        }

        if (solution.Chosen) solver.SetToBeat(closeness(*solution.Chosen));
        TCloseness foreseenCloseness;
        long double mo = 0;
        long double from = 0;
        const std::optional<std::vector<long double>> best =
            solver.Best(foreseenCloseness, mo, from);
        if (solver.Stopped()) {
            solution.Stop = TPaySolverStop::psInterrupted;
            break;
        }
        if (!best) {
            solution.Stop = TPaySolverStop::psNoneForeseenCloser;
            break;
        }
        next = *best;
        foreseen = mo;
        foreseenFrom = from;
    }
    solution.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    return solution;
}

}  // namespace studlab
