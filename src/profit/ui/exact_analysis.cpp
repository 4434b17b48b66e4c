#include "profit/ui/exact_analysis.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "text/number_text.h"

namespace studlab {
namespace {

// A few times a second: enough for a progress bar, nothing for the analysis.
constexpr int kPollMilliseconds = 100;

}  // namespace

TExactAnalysis::TExactAnalysis(const TGameDesign& design, const TCalculationSettings& settings)
    : m_design(design), m_settings(settings) {
    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &TExactAnalysis::Poll);
}

TExactAnalysis::~TExactAnalysis() {
    m_job.Stop();
}

std::string TExactAnalysis::CurrentFingerprint() const {
    // The job keeps its result under the fingerprint with the best play worked out.
    return ExactFingerprint(m_design, m_settings, true);
}

void TExactAnalysis::Start() {
    const std::string fingerprint = CurrentFingerprint();
    m_refusal.clear();
    m_refusedFor.clear();
    try {
        m_job.Start(m_design, m_settings);
        m_startedFor = fingerprint;
        m_startedDesign = m_design;
        m_startedSettings = m_settings;
        m_collect = true;
        m_poll.start();
    } catch (const std::exception& e) {
        // A design the analysis cannot play, or a number of it that does not convert: nothing
        // started, and the reason stays with this design.
        m_refusal = e.what();
        m_refusedFor = fingerprint;
    }
    emit Changed();
}

void TExactAnalysis::Stop() {
    if (!m_job.Running()) return;
    m_job.Stop();
    m_poll.stop();
    emit Changed();
}

void TExactAnalysis::Poll() {
    if (!m_job.Running()) m_poll.stop();
    emit Changed();
}

void TExactAnalysis::CollectResult() const {
    if (!m_collect || m_job.Running()) return;
    m_collect = false;
    m_result = m_job.Result();
}

TExactStatus TExactAnalysis::Status() const {
    if (m_job.Running()) return TExactStatus::esRunning;
    CollectResult();
    const std::string fingerprint = CurrentFingerprint();
    if (!m_refusedFor.empty() && m_refusedFor == fingerprint) return TExactStatus::esRefused;
    if (!m_result) return TExactStatus::esNone;
    const bool complete = !m_result->Cancelled && m_result->Error.empty();
    if (m_result->Fingerprint != fingerprint)
        return complete ? TExactStatus::esStale : TExactStatus::esNone;
    if (!m_result->Error.empty()) return TExactStatus::esFailed;
    if (m_result->Cancelled) return TExactStatus::esStopped;
    return TExactStatus::esDone;
}

bool TExactAnalysis::RunningForCurrentDesign() const {
    return m_job.Running() && m_startedFor == CurrentFingerprint();
}

const TExactJob::TResult* TExactAnalysis::CurrentResult() const {
    return Status() == TExactStatus::esDone ? &*m_result : nullptr;
}

const TExactJob::TResult* TExactAnalysis::LastResult() const {
    if (m_job.Running()) return nullptr;
    CollectResult();
    return m_result ? &*m_result : nullptr;
}

std::string TExactAnalysis::Reason() const {
    switch (Status()) {
        case TExactStatus::esRefused:
            return m_refusal;
        case TExactStatus::esFailed:
            return m_result->Error;
        default:
            return {};
    }
}

std::string TExactAnalysis::ChangedSinceStart() const {
    if (!m_startedDesign) return {};
    const bool design = *m_startedDesign != m_design;
    const bool settings = m_startedSettings != m_settings;
    if (design && settings) return "Конструкция и настройки расчета";
    if (design) return "Конструкция";
    if (settings) return "Настройки расчета";
    return {};
}

std::string ChangedText(const std::string& subject) {
    if (subject.empty() || subject == "Конструкция") return "Конструкция изменилась";
    return subject + " изменились";
}

std::string ChangedPronoun(const std::string& subject) {
    return subject.empty() || subject == "Конструкция" ? "ней" : "ним";
}

std::string FourDecimalsText(long double value) {
    const std::int64_t units = RoundHalfEven(value * 10000);
    const std::int64_t whole = std::llabs(units) / 10000;
    const std::int64_t fraction = std::llabs(units) % 10000;
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld,%04lld", units < 0 ? "-" : "",
                  static_cast<long long>(whole), static_cast<long long>(fraction));
    return text;
}

std::string ExactMoText(long double moPercent) {
    return "MO=" + FourDecimalsText(moPercent) + "%";
}

std::string DurationText(double seconds) {
    const long total = std::lround(std::max(seconds, 0.0));
    if (total < 60) return std::to_string(total) + " с";
    if (total < 3600)
        return std::to_string(total / 60) + " мин " + std::to_string(total % 60) + " с";
    return std::to_string(total / 3600) + " ч " + std::to_string(total / 60 % 60) + " мин";
}

}  // namespace studlab
