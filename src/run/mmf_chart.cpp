// Redrawing the MMF chart: reading, box states, spectrum bars, current densities, distributions.
#include "run/mmf_chart.hpp"

#include <cmath>
#include <numbers>

#include "model/spectrum.hpp"

namespace emforce {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Orders whose field moves (nearly) with the layer induce no current: they get no point.
constexpr double kSynchronousSlip = 1e-7;

// One redraw; it writes into the chart as it goes, so that an abandoned redraw leaves the
// points drawn so far.
class MmfDrawing {
public:
    MmfDrawing(Model& model, const MmfChartOptions& options, MmfChart& chart)
        : m_model(model), m_params(model.data.params), m_options(options), m_chart(chart) {}

    void read(InputRecord& record, const QuestionCallback& ask);
    void draw();

private:
    // The box states after the reading, which the drawing follows.
    [[nodiscard]] const MmfCurveBoxes& boxes() const { return *m_chart.boxes; }
    std::vector<ChartPoint>& series(MmfSeries s) { return m_chart.series[static_cast<size_t>(s)]; }
    double currentDensity(double h, double r, double slip);
    void addDensityPoints(double h);
    void drawSpectrum();
    void drawDistribution(const HarmonicSpectrum& spectrum, MmfSeries target);

    Model& m_model;
    const MotorParameters& m_params;
    const MmfChartOptions& m_options;
    MmfChart& m_chart;
    bool m_induction = true;
    double m_firstDensity = 0;  // J1
};

void MmfDrawing::read(InputRecord& record, const QuestionCallback& ask) {
    m_induction = record.induction;
    if (!m_induction) {
        m_model.synchronous.readParameters(record, ask);
        m_chart.boxes = MmfCurveBoxes{{false, false}, {false, false}, {true, m_options.rotorMmf}};
        return;
    }
    m_model.induction.readParameters(record, ask);
    const double slip = m_params.syncSpeed - m_params.n;
    m_firstDensity = checkedValue(currentDensity(1, m_params.R, slip));
    m_chart.boxes = MmfCurveBoxes{{true, m_options.outerDensity},
                                  {true, m_options.innerDensity},
                                  {false, m_options.rotorMmf}};
}

// |J| = γ·|E| = γ·|s_c·A(r)| per unit MMF amplitude, at the complex frequency of the layer's
// field; the legacy formulation takes |2π·s·A(r)|·γ, without the impulse frequency.
double MmfDrawing::currentDensity(double h, double r, double slip) {
    const MotorParameters& p = m_params;
    const double kh = p.kp * h;
    const HarmonicField field = m_model.induction.solveField(kh, p.g, p.a, p.z, slip);
    const Complex potential = layerPointAt(field, r, false).potential;
    if (p.formulation == Formulation::Physical)
        return abs(m_model.induction.frequencyOf(kh, slip) * potential) * p.gamma;
    return abs(kTwoPi * slip * potential) * p.gamma;
}

void MmfDrawing::addDensityPoints(double h) {
    const MotorParameters& p = m_params;
    const double slip = p.syncSpeed / h - p.n;
    // Tested whether or not a density is drawn: a zero synchronous speed fails here.
    if (std::fabs(checkedValue(slip / p.syncSpeed)) < kSynchronousSlip) return;
    if (boxes().outerDensity.checked)
        series(MmfSeries::OuterDensity)
            .push_back({h, checkedValue(currentDensity(h, p.R, slip) / m_firstDensity)});
    if (boxes().innerDensity.checked)
        series(MmfSeries::InnerDensity)
            .push_back({h, checkedValue(currentDensity(h, p.R - p.a, slip) / m_firstDensity)});
}

void MmfDrawing::drawSpectrum() {
    m_chart.title = std::string(kMmfSpectrumTitle);
    const HarmonicRange range = harmonicRange(m_params.highestHarmonic);
    for (int i = range.first; i <= range.last; ++i) {
        const auto index = static_cast<size_t>(i);
        const auto h = static_cast<double>(harmonicOrder(i));
        if (m_options.statorMmf)
            series(MmfSeries::StatorBars).push_back({h, m_model.data.statorSpectrum[index]});
        if (m_induction)
            addDensityPoints(h);
        else if (boxes().rotorMmf.checked)
            series(MmfSeries::RotorBars).push_back({h, m_model.data.rotorSpectrum[index]});
    }
}

// Σ A_i·sin(|h|·φ): an order and its mirror add at the same spatial frequency.
void MmfDrawing::drawDistribution(const HarmonicSpectrum& spectrum, MmfSeries target) {
    const HarmonicRange range = harmonicRange(m_params.highestHarmonic);
    std::vector<ChartPoint>& points = series(target);
    points.reserve(kMmfDistributionSteps + 1);
    const double step = kTwoPi / kMmfDistributionSteps;
    double phi = -std::numbers::pi;
    for (int k = 0; k <= kMmfDistributionSteps; ++k) {
        double sum = 0;
        for (int i = range.first; i <= range.last; ++i)
            sum += spectrum[static_cast<size_t>(i)] * std::sin(std::abs(harmonicOrder(i)) * phi);
        points.push_back({phi, checkedValue(sum)});
        phi += step;  // a running sum, as the axis has always been laid out
    }
}

void MmfDrawing::draw() {
    if (m_options.spectrum) {
        drawSpectrum();
        return;
    }
    m_chart.title = std::string(kMmfDistributionTitle);
    if (m_options.statorMmf)
        drawDistribution(m_model.data.statorSpectrum, MmfSeries::StatorDistribution);
    m_chart.underConstructionMessages =
        (boxes().outerDensity.checked ? 1 : 0) + (boxes().innerDensity.checked ? 1 : 0);
    if (boxes().rotorMmf.checked)
        drawDistribution(m_model.data.rotorSpectrum, MmfSeries::RotorDistribution);
}

}  // namespace

MmfChart computeMmfChart(Model& model, InputRecord& record, const MmfChartOptions& options,
                         const QuestionCallback& ask) {
    clearFpFaults();
    MmfChart chart;
    try {
        MmfDrawing drawing(model, options, chart);
        drawing.read(record, ask);
        drawing.draw();
    } catch (const CalcError& e) {
        clearFpFaults();
        throw MmfChartError(e.what(), std::move(chart));
    }
    return chart;
}

}  // namespace emforce
