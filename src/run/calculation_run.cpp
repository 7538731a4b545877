// The steps of a calculation run, in the order the run takes them.
#include "run/calculation_run.hpp"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <thread>
#include <type_traits>

#include "model/number_format.hpp"
#include "model/spectrum.hpp"
#include "numerics/fp_guard.hpp"
#include "run/error_statistics.hpp"
#include "run/point_evaluators.hpp"
#include "run/stack_run.hpp"

namespace emforce {

std::vector<double>* CurveResults::forSlot(int slot) {
    if (slot < 0 || slot >= kCurveSlots || !slotRow(slot).statistics) return nullptr;
    return &curves[static_cast<size_t>(slot)];
}

void CurveResults::clear() {
    for (std::vector<double>& curve : curves) curve.clear();
}

std::string longTimeText(std::chrono::system_clock::time_point t) {
    const std::time_t tt = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&tt, &local);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", local.tm_hour, local.tm_min,
                  local.tm_sec);
    return buffer;
}

std::string durationText(std::chrono::system_clock::duration d) {
    const long long tenths = std::chrono::duration_cast<std::chrono::milliseconds>(d).count() / 100;
    const long long seconds = tenths / 10;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld,%lld", seconds / 3600,
                  seconds / 60 % 60, seconds % 60, tenths % 10);
    return buffer;
}

namespace {

std::string statisticText(const std::optional<double>& v, bool fixed, const char* needed) {
    if (!v) return std::string("undefined: check the curves ") + needed;
    return fixed ? formatFixed(*v, 10, 17) : formatExponent(*v, 7, 3);
}

// One run over one motor object; the two motor kinds differ only in their bindings.
class Run {
public:
    Run(Model& model, InputRecord& record, RunObserver& observer, const RunOptions& options,
        RunOutcome& outcome)
        : m_model(model),
          m_record(record),
          m_observer(observer),
          m_options(options),
          m_outcome(outcome),
          m_display(model.induction.displayNumbers()) {}

    void execute();

private:
    void read();
    [[nodiscard]] EvaluatorArgs args() const;
    void listHarmonics();
    void reportTabledPoint();
    void reportStackPoint();
    void reportTabledLines(const std::array<double, 4>& f);
    void reportRatio(const std::optional<double>& ratio);
    void drawCurves();
    void showStatistics();
    void showResidual();
    void showDisplayTexts();
    [[nodiscard]] bool residualPending() const;
    [[nodiscard]] int workerCount() const;

    // Leaves the display numbers of the run so far in the induction motor, however the scope ends.
    struct KeepDisplay {
        Run& run;
        ~KeepDisplay() { run.m_model.induction.setDisplayNumbers(run.m_display); }
    };

    Model& m_model;
    InputRecord& m_record;
    RunObserver& m_observer;
    const RunOptions& m_options;
    RunOutcome& m_outcome;  // filled as the values appear, so an abandoned run keeps them
    bool m_induction = true;
    double m_sixth = 0;  // the run's own copy of the speed or the load angle
    // What the display texts show: the numbers of the last field solution that the evaluators
    // would have made, had each evaluator call of the run been made alone, one after the other.
    std::optional<SolveDisplay> m_display;
    // The residual's sums from the tabled point's solves, for the parameters they were made with.
    struct PendingResidual {
        ModelData data;
        OdeSums sums;
        std::optional<SolveDisplay> lastSolve;
    };
    std::optional<PendingResidual> m_residual;
    // The record's stack of regions as the run solves it, in place of the one-layer model.
    std::optional<RegionStack> m_stack;
};

void Run::read() {
    const QuestionCallback ask = [this](const std::string& q) { return m_observer.ask(q); };
    const MotorParameters& p = m_model.data.params;
    if (m_induction) {
        m_model.induction.readParameters(m_record, ask);
        m_sixth = p.n;
    } else {
        m_model.synchronous.readParameters(m_record, ask);
        m_sixth = p.y;
    }
}

EvaluatorArgs Run::args() const {
    const MotorParameters& p = m_model.data.params;
    return {p.kp, p.x, p.g, p.a, p.z, m_sixth};
}

void Run::listHarmonics() {
    m_observer.clearHarmonics();
    if (m_stack) return;  // the table's spectrum does not excite a stack
    const HarmonicRange range = harmonicRange(m_model.data.params.highestHarmonic);
    for (int i = range.first; i <= range.last; ++i)
        m_observer.appendHarmonicLine(
            " h = " + std::to_string(harmonicOrder(i)) +
            "     Ah = " + formatFixed(m_model.data.statorSpectrum[static_cast<size_t>(i)], 4, 1));
}

void Run::reportTabledPoint() {
    if (m_stack) return reportStackPoint();
    const EvaluatorArgs a = args();
    std::vector<PointValue> values;
    if (m_induction) {
        TabledInduction tabled = inductionTabledPoint(m_model.induction, a);
        values = std::move(tabled.slots);
        if (tabled.ode)
            m_residual = PendingResidual{m_model.data, *tabled.ode, tabled.odeLastSolve};
    } else {
        values = synchronousPoints(m_model.synchronous, tabledSlots())(a);
    }
    clearFpFaults();
    std::array<double, 4> f{};
    {
        const KeepDisplay keep{*this};
        for (size_t k = 0; k < f.size(); ++k) {
            if (values[k].display) m_display = values[k].display;
            if (!values[k].error.empty()) throw CalcError(values[k].error);
            f[k] = values[k].y;
        }
    }
    showDisplayTexts();
    m_outcome.tabled = TabledPoint{f[0], f[1], f[2], f[3], std::nullopt};
    reportTabledLines(f);
    reportRatio(checkedValue((f[1] + f[2] + f[3]) / f[0]));
    if (const auto& moved = m_model.data.params.movedSurface) {
        m_observer.appendReportLine("x = " + formatGeneral(*moved) + " lies outside the gap:");
        m_observer.appendReportLine("Maxwell stress at x = " +
                                    formatGeneral(m_model.data.params.x));
    }
}

// The stack's Maxwell torque, the Lorentz and material parts of its rotor, no impulse part, and
// each conducting region's Lorentz torque and Joule loss.
void Run::reportStackPoint() {
    const StackResults r = stackPoint(*m_stack, m_model.data.params, m_sixth);
    const std::array<double, 4> f = {r.maxwell, r.rotorLorentz, r.rotorMaterial, 0.0};
    m_outcome.tabled = TabledPoint{f[0], f[1], f[2], f[3], std::nullopt};
    std::vector<RegionOutcome> regions;
    for (const RegionResult& region : r.regions)
        regions.push_back({region.name, region.lorentz, region.joule});
    m_outcome.regions = regions;
    reportTabledLines(f);
    reportRatio(r.balance);
    for (const std::string& line : regionReportLines(regions)) m_observer.appendReportLine(line);
}

// The tabled point's four parts.
void Run::reportTabledLines(const std::array<double, 4>& f) {
    const std::array<std::string, 12> lines = {"------  for data from table -> -> -> ",
                                               "  ",
                                               "------  Maxwell's method  ------",
                                               formatExponent(f[0], 10, 3),
                                               "-------  Lorentz method   ------",
                                               formatExponent(f[1], 10, 3),
                                               "-----  Material component  -----",
                                               formatExponent(f[2], 10, 3),
                                               "-----  Impulse  component  -----",
                                               formatExponent(f[3], 10, 3),
                                               "  ",
                                               "Force / Torque balance ratio"};
    for (const std::string& line : lines) m_observer.appendReportLine(line);
}

// The balance ratio of the tabled point, which the outcome takes too.
void Run::reportRatio(const std::optional<double>& ratio) {
    m_outcome.tabled->ratio = ratio;
    m_observer.appendReportLine(ratio ? formatFixed(*ratio, 11, 10)
                                      : std::string("undefined: the Maxwell torque is zero"));
    m_observer.appendReportLine("--------------------------------");
}

// Every checked curve of the sweep is evaluated at each point together; the curves are shown one
// after the other, each point as soon as it is known.
void Run::drawCurves() {
    std::vector<int> slots;
    for (int slot = 0; slot < kCurveSlots; ++slot)
        if (m_record.curves[static_cast<size_t>(slot)] && motorComputes(slot, m_induction))
            slots.push_back(slot);
    if (slots.empty()) return;
    if (m_record.domain < 0 || m_record.domain > 4)
        throw CalcError("Domain " + std::to_string(m_record.domain) +
                        " does not exist: choose 0 to 4");
    const auto domain = static_cast<Domain>(m_record.domain);
    const EvaluatorArgs a = args();
    const DomainEnds ends = domainEnds(domain, m_model.data.params, a.g, a.a, a.z, m_induction);
    const KeepDisplay keep{*this};
    auto run = [&](auto& motor, auto pointsOn) {
        // Working copies share the points; each copy owns its scratch fields.
        using Motor = std::remove_reference_t<decltype(motor)>;
        std::vector<Motor> copies(static_cast<size_t>(workerCount() > 1 ? workerCount() : 0),
                                  motor);
        SweepEvaluators evaluators{pointsOn(motor, slots), {}};
        for (Motor& copy : copies) evaluators.workers.push_back(pointsOn(copy, slots));
        CurveSweep sweep(static_cast<int>(slots.size()), motor.pointsPerCurve(), domain, ends,
                         evaluators, a, m_options.cancel);
        const auto keepDisplay = [this](const SolveDisplay& d) { m_display = d; };
        for (size_t k = 0; k < slots.size(); ++k) {
            const int slot = slots[k];
            motor.curveX().clear();
            motor.curveY().clear();
            m_observer.clearSeries(slot);
            sweep.show(static_cast<int>(k), slot,
                       {motor.curveX(), motor.curveY(), m_model.results.forSlot(slot), keepDisplay},
                       m_observer);
            m_observer.curveFinished(slot);
            showDisplayTexts();
        }
    };
    if (m_stack)
        run(m_model.induction, [this](AsynchronousMotor&, const std::vector<int>& s) {
            return stackPoints(*m_stack, m_model.data.params, s);
        });
    else if (m_induction)
        run(m_model.induction,
            [](AsynchronousMotor& m, const std::vector<int>& s) { return inductionPoints(m, s); });
    else
        run(m_model.synchronous, [](SilnikSynchroniczny& m, const std::vector<int>& s) {
            return synchronousPoints(m, s);
        });
}

void Run::showStatistics() {
    const CurveResults& r = m_model.results;
    const char* force = "F/T Maxwell, Lorentz, Material, EM Impulse";
    const char* coenergy = "F/T Maxwell, coenergy, EM Impulse";
    const char* power = "P by Poynting, Joule-Lenz, Anisotropy";
    using S = CurveSlot;
    const Curve& Te = r.of(S::Maxwell);
    const Curve& TP = r.of(S::Impulse);
    const auto average = avgBalanceError(Te, r.of(S::Lorentz), r.of(S::Material), TP);
    const auto largest = maxBalanceError(Te, r.of(S::Lorentz), r.of(S::Material), TP);
    const auto coenergyError = avgCoenergyBalanceError(Te, r.of(S::Coenergy), TP);
    const auto powerError = avgPowerError(r.of(S::Poynting), r.of(S::Joule), r.of(S::Anisotropy));
    m_outcome.statistics = {average, largest, coenergyError, powerError};
    m_observer.setField(ResultField::AverageBalance, statisticText(average, false, force));
    m_observer.setField(ResultField::MaxBalance, statisticText(largest, false, force));
    m_observer.setField(ResultField::AverageCoenergy,
                        statisticText(coenergyError, false, coenergy));
    m_observer.setField(ResultField::PowerFixed, statisticText(powerError, true, power));
    m_observer.setField(ResultField::PowerExponent, statisticText(powerError, false, power));
}

void Run::showResidual() {
    if (m_stack) {
        m_observer.setField(ResultField::OdeResidual,
                            "undefined: the run evaluates a region stack");
        return;
    }
    read();
    const EvaluatorArgs a = args();
    std::optional<double> residual;
    if (residualPending()) {
        residual = AsynchronousMotor::odeErrorOf(m_residual->sums);
        if (m_residual->lastSolve) m_display = m_residual->lastSolve;
        m_model.induction.setDisplayNumbers(m_display);
    } else {
        m_model.induction.setDisplayNumbers(m_display);
        residual = m_model.induction.odeErrorValue(a.kp, a.x, a.g, a.a, a.z, a.s);
        m_display = m_model.induction.displayNumbers();
    }
    showDisplayTexts();
    if (residual) m_outcome.odeError = checkedValue(*residual);
    m_observer.setField(ResultField::OdeResidual,
                        residual ? formatExponent(checkedValue(*residual), 3, 3)
                                 : "undefined: no harmonic included");
}

// The sums from the tabled point serve the residual when the readings since gave the same data
// (the residual does not read x, which the first reading set apart).
bool Run::residualPending() const {
    if (!m_residual) return false;
    const ModelData& now = m_model.data;
    MotorParameters p = now.params;
    p.x = m_residual->data.params.x;
    return p == m_residual->data.params && now.statorSpectrum == m_residual->data.statorSpectrum &&
           now.rotorSpectrum == m_residual->data.rotorSpectrum;
}

int Run::workerCount() const {
    if (m_options.threads > 0) return m_options.threads;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void Run::showDisplayTexts() {
    if (!m_induction || !m_display) return;
    m_observer.setField(ResultField::Lambda, lambdaText(*m_display));
    m_observer.setField(ResultField::BetaR, betaRText(*m_display));
}

void Run::execute() {
    const auto start = m_options.now();
    m_model.results.clear();
    for (int slot = 0; slot < kCurveSlots; ++slot) m_observer.clearSeries(slot);
    m_observer.setTimeText("Start Time  =  " + longTimeText(start));
    m_observer.clearReport();
    m_observer.clearHarmonics();
    for (ResultField f :
         {ResultField::AverageBalance, ResultField::MaxBalance, ResultField::PowerFixed,
          ResultField::PowerExponent, ResultField::AverageCoenergy})
        m_observer.setField(f, "");
    m_induction = m_record.induction;
    const auto mode = m_options.literal ? AsynchronousMotor::EvaluationMode::Literal
                                        : AsynchronousMotor::EvaluationMode::Reuse;
    m_model.induction.setEvaluationMode(mode);
    m_model.synchronous.setEvaluationMode(m_options.literal
                                              ? SilnikSynchroniczny::EvaluationMode::Literal
                                              : SilnikSynchroniczny::EvaluationMode::Reuse);
    read();
    if (m_record.stack) {
        if (!m_induction)
            throw CalcError("A region stack is an induction machine: choose the induction motor");
        checkStackCurves(m_record);
        m_stack = runStack(*m_record.stack, m_model.data.params);
    }
    listHarmonics();
    reportTabledPoint();
    read();
    drawCurves();
    if (m_induction) showStatistics();
    m_observer.setTimeText("Calculation Time (including chart drawing) = " +
                           durationText(m_options.now() - start));
    if (m_induction) showResidual();
}

}  // namespace

RunOutcome runCalculation(Model& model, InputRecord& record, RunObserver& observer,
                          const RunOptions& options) {
    clearFpFaults();
    const CancelScope cancel(options.cancel);
    RunOutcome outcome;
    try {
        Run(model, record, observer, options, outcome).execute();
        outcome.complete = true;
    } catch (const CalcError& e) {
        clearFpFaults();
        observer.runAbandoned(e.what());
        outcome.message = e.what();
    }
    return outcome;
}

}  // namespace emforce
