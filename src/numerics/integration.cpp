// Composite Simpson, Gauss–Legendre, Chebyshev equal-weight and Monte Carlo integration.
#include "numerics/integration.hpp"

#include <cmath>
#include <cstdint>
#include <ctime>
#include <stdexcept>

#include "numerics/cancel.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

// Gauss–Legendre nodes and weights at full double precision.
constexpr std::array<double, 5> kGauss5Nodes{-0.90617984593866396, -0.53846931010568311, 0.0,
                                             0.53846931010568311, 0.90617984593866396};
constexpr std::array<double, 5> kGauss5Weights{0.23692688505618908, 0.47862867049936647,
                                               0.56888888888888889, 0.47862867049936647,
                                               0.23692688505618908};
constexpr std::array<double, 6> kGauss6Nodes{-0.93246951420315205, -0.66120938646626448,
                                             -0.2386191860831969,  0.2386191860831969,
                                             0.66120938646626448,  0.93246951420315205};
constexpr std::array<double, 6> kGauss6Weights{0.17132449237917036, 0.36076157304813861,
                                               0.46791393457269104, 0.46791393457269104,
                                               0.36076157304813861, 0.17132449237917036};
constexpr std::array<double, 7> kGauss7Nodes{
    -0.94910791234275849, -0.74153118559939446, -0.40584515137739718, 0.0,
    0.40584515137739718,  0.74153118559939446,  0.94910791234275849};
constexpr std::array<double, 7> kGauss7Weights{
    0.1294849661688697,  0.27970539148927664, 0.38183005050511892, 0.4179591836734694,
    0.38183005050511892, 0.27970539148927664, 0.1294849661688697};
constexpr std::array<double, 10> kGauss10Nodes{
    -0.97390652851717174, -0.86506336668898454, -0.67940956829902444, -0.43339539412924721,
    -0.14887433898163122, 0.14887433898163122,  0.43339539412924721,  0.67940956829902444,
    0.86506336668898454,  0.97390652851717174};
constexpr std::array<double, 10> kGauss10Weights{
    0.066671344308688138, 0.14945134915058059, 0.21908636251598204, 0.26926671930999635,
    0.29552422471475287,  0.29552422471475287, 0.26926671930999635, 0.21908636251598204,
    0.14945134915058059,  0.066671344308688138};
constexpr std::array<double, 15> kGauss15Nodes{
    -0.98799251802048538, -0.93727339240070595, -0.84820658341042721, -0.72441773136017007,
    -0.57097217260853883, -0.39415134707756339, -0.20119409399743451, 0.0,
    0.20119409399743451,  0.39415134707756339,  0.57097217260853883,  0.72441773136017007,
    0.84820658341042721,  0.93727339240070595,  0.98799251802048538};
constexpr std::array<double, 15> kGauss15Weights{
    0.030753241996117269, 0.070366047488108124, 0.10715922046717194, 0.13957067792615432,
    0.16626920581699392,  0.18616100001556221,  0.19843148532711158, 0.20257824192556129,
    0.19843148532711158,  0.18616100001556221,  0.16626920581699392, 0.13957067792615432,
    0.10715922046717194,  0.070366047488108124, 0.030753241996117269};

// The 8-point rule keeps its traditional eight-decimal table, so that results stay comparable
// with those computed before by the default method.
constexpr std::array<double, 8> kGauss8Nodes{-0.96028986, -0.79666648, -0.52553242, -0.18343464,
                                             0.18343464,  0.52553242,  0.79666648,  0.96028986};
constexpr std::array<double, 8> kGauss8Weights{0.10122854, 0.22238104, 0.31370664, 0.36268378,
                                               0.36268378, 0.31370664, 0.22238104, 0.10122854};

// Chebyshev equal-weight nodes to six decimals.
constexpr std::array<double, 5> kChebyshev5Nodes{-0.832498, -0.374541, 0.0, 0.374541, 0.832498};
constexpr std::array<double, 6> kChebyshev6Nodes{-0.866247, -0.422519, -0.266635,
                                                 0.266635,  0.422519,  0.866247};
constexpr std::array<double, 7> kChebyshev7Nodes{-0.883862, -0.529657, -0.323912, 0.0,
                                                 0.323912,  0.529657,  0.883862};

template <std::size_t N>
constexpr std::array<double, N> equalWeights() {
    std::array<double, N> weights{};
    for (double& w : weights) w = 2.0 / N;
    return weights;
}

constexpr auto kChebyshev5Weights = equalWeights<5>();
constexpr auto kChebyshev6Weights = equalWeights<6>();
constexpr auto kChebyshev7Weights = equalWeights<7>();

constexpr int kSimpsonPanelsOverX = 75;
constexpr int kSimpsonPanelsOverZ = 20;

constexpr int simpsonPanels(bool overX) {
    return overX ? kSimpsonPanelsOverX : kSimpsonPanelsOverZ;
}

// Ends of panel i (1-based) of width w, computed from the lower limit rather than accumulated.
struct Panel {
    double left;
    double right;
};

constexpr Panel simpsonPanel(double lower, double width, int i) {
    return {lower + (i - 1) * width, lower + i * width};
}

template <int Panels>
constexpr std::array<double, 3 * Panels> simpsonNodes() {
    std::array<double, 3 * Panels> nodes{};
    for (int i = 1; i <= Panels; ++i) {
        const Panel p = simpsonPanel(-1.0, 2.0 / Panels, i);
        nodes[3 * i - 3] = p.left;
        nodes[3 * i - 2] = (p.left + p.right) / 2;
        nodes[3 * i - 1] = p.right;
    }
    return nodes;
}

template <int Panels>
constexpr std::array<double, 3 * Panels> simpsonWeights() {
    std::array<double, 3 * Panels> weights{};
    for (int i = 0; i < 3 * Panels; ++i) weights[i] = (i % 3 == 1 ? 4.0 : 1.0) / (3 * Panels);
    return weights;
}

constexpr auto kSimpsonNodesOverX = simpsonNodes<kSimpsonPanelsOverX>();
constexpr auto kSimpsonWeightsOverX = simpsonWeights<kSimpsonPanelsOverX>();
constexpr auto kSimpsonNodesOverZ = simpsonNodes<kSimpsonPanelsOverZ>();
constexpr auto kSimpsonWeightsOverZ = simpsonWeights<kSimpsonPanelsOverZ>();
static_assert(kSimpsonNodesOverX.size() == kMaxRulePoints);

template <std::size_t N>
QuadratureRule ruleOf(const std::array<double, N>& nodes, const std::array<double, N>& weights) {
    return {nodes, weights};
}

// The classic linear congruential generator of the C runtime (values 0..32767), with one state
// per thread so that concurrent integrations do not disturb each other's sequences.
thread_local std::uint32_t t_randomState = 1;

void seedRandom(std::uint32_t seed) { t_randomState = seed; }

int nextRandom() {
    t_randomState = t_randomState * 1103515245u + 12345u;
    return static_cast<int>((t_randomState / 65536u) % 32768u);
}

constexpr double kRandomScale = 1.0 / 32768.0;
constexpr double kMonteCarloTolerance = 1e-7;
constexpr int kMonteCarloMaxSamples = 10000;
// Samples between two cancel checks: nested in another integral, one sample can itself be a
// whole integral of up to kMonteCarloMaxSamples samples.
constexpr int kSamplesPerCancelCheck = 16;

// Samples until two successive estimates agree to the tolerance (at least two samples); a
// cancel request ends it.
template <class Sample>
double monteCarlo(const Sample& sample, double lower, double upper) {
    seedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    double sum = 0.0;
    double estimate = 0.0;
    double previous = 0.0;
    int count = 0;
    do {
        if (count % kSamplesPerCancelCheck == 0) throwIfCancelled();
        ++count;
        const double t = nextRandom() * kRandomScale * (upper - lower) + lower;
        sum += sample(t);
        previous = estimate;
        estimate = sum * (upper - lower) / count;
    } while ((std::fabs(estimate - previous) > kMonteCarloTolerance * std::fabs(estimate) &&
              count < kMonteCarloMaxSamples) ||
             count < 2);
    return estimate;
}

double simpsonSum(bool overX, double lower, double upper, std::span<const double> values) {
    const int panels = simpsonPanels(overX);
    const double width = (upper - lower) / panels;
    double sum = 0.0;
    for (int i = 1; i <= panels; ++i) {
        const Panel p = simpsonPanel(lower, width, i);
        const double* f = &values[3 * i - 3];
        sum += (f[0] + 4 * f[1] + f[2]) * (p.right - p.left) / 6;
    }
    return sum;
}

}  // namespace

QuadratureRule quadratureRule(IntegrationMethod method, bool overX) {
    switch (method) {
        case IntegrationMethod::Simpson:
            return overX ? ruleOf(kSimpsonNodesOverX, kSimpsonWeightsOverX)
                         : ruleOf(kSimpsonNodesOverZ, kSimpsonWeightsOverZ);
        case IntegrationMethod::Gauss5:
            return ruleOf(kGauss5Nodes, kGauss5Weights);
        case IntegrationMethod::Gauss6:
            return ruleOf(kGauss6Nodes, kGauss6Weights);
        case IntegrationMethod::Gauss7:
            return ruleOf(kGauss7Nodes, kGauss7Weights);
        case IntegrationMethod::Gauss8:
            return ruleOf(kGauss8Nodes, kGauss8Weights);
        case IntegrationMethod::Gauss10:
            return ruleOf(kGauss10Nodes, kGauss10Weights);
        case IntegrationMethod::Gauss15:
            return ruleOf(kGauss15Nodes, kGauss15Weights);
        case IntegrationMethod::Chebyshev5:
            return ruleOf(kChebyshev5Nodes, kChebyshev5Weights);
        case IntegrationMethod::Chebyshev6:
            return ruleOf(kChebyshev6Nodes, kChebyshev6Weights);
        case IntegrationMethod::Chebyshev7:
            return ruleOf(kChebyshev7Nodes, kChebyshev7Weights);
        case IntegrationMethod::MonteCarlo:
            return {};
    }
    throw CalcError(kNoIntegrationMethod);
}

std::optional<int> integrandCallCount(IntegrationMethod method, bool overX) {
    const QuadratureRule rule = quadratureRule(method, overX);
    if (method == IntegrationMethod::MonteCarlo) return std::nullopt;
    return static_cast<int>(rule.nodes.size());
}

SamplePoints samplePoints(IntegrationMethod method, bool overX, double lower, double upper) {
    const QuadratureRule rule = quadratureRule(method, overX);
    SamplePoints result;
    if (method == IntegrationMethod::Simpson) {
        const int panels = simpsonPanels(overX);
        const double width = (upper - lower) / panels;
        for (int i = 1; i <= panels; ++i) {
            const Panel p = simpsonPanel(lower, width, i);
            result.values[result.count++] = p.left;
            result.values[result.count++] = (p.left + p.right) / 2;
            result.values[result.count++] = p.right;
        }
        return result;
    }
    const double h = (upper - lower) / 2;
    const double m = (upper + lower) / 2;
    for (const double t : rule.nodes) result.values[result.count++] = m + h * t;
    return result;
}

double combineSamples(IntegrationMethod method, bool overX, double lower, double upper,
                      std::span<const double> values) {
    const std::optional<int> calls = integrandCallCount(method, overX);
    if (!calls || values.size() != static_cast<std::size_t>(*calls)) {
        throw std::invalid_argument("combineSamples: the values do not match the rule's points");
    }
    if (method == IntegrationMethod::Simpson) return simpsonSum(overX, lower, upper, values);
    const std::span<const double> weights = quadratureRule(method, overX).weights;
    double sum = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) sum += weights[i] * values[i];
    return (upper - lower) / 2 * sum;
}

double integrate(IntegrationMethod method, const Evaluator& f, const double& kp, double x, double g,
                 double a, double z, double n, bool overX, double lower, double upper) {
    // The node is written into the routine's own copy of the integration variable, and the
    // integrand reads it through its reference.
    double& variable = overX ? x : z;
    const auto sample = [&](double t) {
        variable = t;
        return f(kp, x, g, a, z, n);
    };
    if (method == IntegrationMethod::MonteCarlo) return monteCarlo(sample, lower, upper);
    throwIfCancelled();
    const SamplePoints points = samplePoints(method, overX, lower, upper);
    std::array<double, kMaxRulePoints> values;
    for (std::size_t i = 0; i < points.count; ++i) values[i] = sample(points.values[i]);
    return combineSamples(method, overX, lower, upper, {values.data(), points.count});
}

}  // namespace emforce
