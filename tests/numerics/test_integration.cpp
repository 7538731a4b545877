// Tests of the integration rules: exactness, limits, argument passing, call counts and sampling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <vector>

#include "numerics/cancel.hpp"
#include "numerics/fp_guard.hpp"
#include "numerics/integration.hpp"

namespace emforce {
namespace {

using M = IntegrationMethod;

constexpr M kFixedMethods[] = {M::Simpson, M::Gauss5,  M::Gauss6,     M::Gauss7,     M::Gauss8,
                               M::Gauss10, M::Gauss15, M::Chebyshev5, M::Chebyshev6, M::Chebyshev7};

// An evaluator of the integration variable alone: x when overX, z otherwise.
template <class F>
Evaluator ofVariable(bool overX, F f) {
    return [=](const double&, const double& x, const double&, const double&, const double& z,
               const double&) { return f(overX ? x : z); };
}

double integrateOf(M method, bool overX, double lower, double upper, double (*f)(double)) {
    const double kp = 1.0;
    return integrate(method, ofVariable(overX, f), kp, 0.0, 0.0, 0.0, 0.0, 0.0, overX, lower,
                     upper);
}

TEST(Integration, ConstantGivesValueTimesLengthWithEveryRuleAndNoFault) {
    struct Limits {
        double lower, upper;
    };
    const Limits cases[] = {{0.3, 1.7}, {1.7, 0.3}, {-2.0, -2.0}};
    for (int index = 0; index < kIntegrationMethodCount; ++index) {
        for (const bool overX : {true, false}) {
            for (const Limits& c : cases) {
                const auto method = static_cast<M>(index);
                int calls = 0;
                const auto f = ofVariable(overX, [&calls](double) {
                    ++calls;
                    return 2.5;
                });
                const double kp = 0.0;
                clearFpFaults();
                const double result =
                    integrate(method, f, kp, 0.0, 0.0, 0.0, 0.0, 0.0, overX, c.lower, c.upper);
                const double exact = 2.5 * (c.upper - c.lower);
                SCOPED_TRACE(testing::Message() << "method " << index << " overX " << overX
                                                << " from " << c.lower << " to " << c.upper);
                EXPECT_NEAR(result, exact, 1e-12 * std::fabs(exact));
                // Equal limits stop Monte Carlo on 0 == 0 without a fault of its own.
                EXPECT_NO_THROW(throwOnFpFault());
                if (method == M::MonteCarlo) {
                    EXPECT_EQ(calls, 2);
                }
            }
        }
    }
}

TEST(Integration, RulesArePolynomiallyExactToTheirTablePrecision) {
    struct Case {
        M method;
        int highestDegree;
        double tolerance;
    };
    // The eight-decimal 8-point table and the six-decimal Chebyshev nodes are rounded, so
    // their exactness holds only to the rounding of the tables.
    const Case cases[] = {{M::Simpson, 3, 1e-13},     {M::Gauss5, 9, 1e-13},
                          {M::Gauss6, 11, 1e-13},     {M::Gauss7, 13, 1e-13},
                          {M::Gauss8, 15, 1e-7},      {M::Gauss10, 19, 1e-13},
                          {M::Gauss15, 29, 1e-13},    {M::Chebyshev5, 5, 2.3e-6},
                          {M::Chebyshev6, 7, 2.1e-6}, {M::Chebyshev7, 7, 2.1e-6}};
    for (const Case& c : cases) {
        const bool chebyshev = c.method >= M::Chebyshev5;
        // Chebyshev rules are symmetric and carry no weight function: check them on [-1, 1]
        // where their odd moments vanish by symmetry and the even ones test the nodes.
        const double lower = chebyshev ? -1.0 : -0.5;
        const double upper = chebyshev ? 1.0 : 2.0;
        for (int k = 0; k <= c.highestDegree; ++k) {
            for (const bool overX : {true, false}) {
                const auto f = ofVariable(overX, [k](double t) { return std::pow(t, k); });
                const double kp = 0.0;
                const double result =
                    integrate(c.method, f, kp, 0.0, 0.0, 0.0, 0.0, 0.0, overX, lower, upper);
                const double exact = (std::pow(upper, k + 1) - std::pow(lower, k + 1)) / (k + 1);
                SCOPED_TRACE(testing::Message() << "method " << static_cast<int>(c.method)
                                                << " degree " << k << " overX " << overX);
                EXPECT_NEAR(result, exact, c.tolerance * std::max(std::fabs(exact), 1.0));
            }
        }
    }
}

double exponential(double t) { return std::exp(t); }

TEST(Integration, SwappedLimitsChangeTheSign) {
    for (const M method : kFixedMethods) {
        for (const bool overX : {true, false}) {
            const double forward = integrateOf(method, overX, 0.2, 1.3, exponential);
            const double backward = integrateOf(method, overX, 1.3, 0.2, exponential);
            EXPECT_NEAR(backward, -forward, 1e-14 * std::fabs(forward))
                << "method " << static_cast<int>(method) << " overX " << overX;
        }
    }
}

TEST(Integration, OtherArgumentsReachTheIntegrandUnchangedAndPointsIncrease) {
    const double kp = 3.0;
    const double x = 0.11, g = 0.22, a = 0.33, z = 0.44, n = 0.55;
    for (int index = 0; index < kIntegrationMethodCount; ++index) {
        for (const bool overX : {true, false}) {
            std::vector<double> points;
            bool unchanged = true;
            const Evaluator f = [&](const double& kpSeen, const double& xSeen, const double& gSeen,
                                    const double& aSeen, const double& zSeen, const double& nSeen) {
                points.push_back(overX ? xSeen : zSeen);
                unchanged = unchanged && &kpSeen == &kp && gSeen == g && aSeen == a && nSeen == n &&
                            (overX ? zSeen == z : xSeen == x);
                return xSeen * zSeen;
            };
            const auto method = static_cast<M>(index);
            integrate(method, f, kp, x, g, a, z, n, overX, 5.0, 6.0);
            SCOPED_TRACE(testing::Message() << "method " << index << " overX " << overX);
            EXPECT_TRUE(unchanged);
            EXPECT_TRUE(std::all_of(points.begin(), points.end(),
                                    [](double t) { return t >= 5.0 && t <= 6.0; }));
            if (method != M::MonteCarlo) {
                EXPECT_TRUE(std::is_sorted(points.begin(), points.end()));
                EXPECT_EQ(points.size(),
                          static_cast<std::size_t>(integrandCallCount(method, overX).value()));
            }
        }
    }
}

TEST(Integration, CallCountsOfTheRules) {
    struct Case {
        M method;
        int overX, overZ;
    };
    const Case cases[] = {{M::Simpson, 225, 60}, {M::Gauss5, 5, 5},     {M::Gauss6, 6, 6},
                          {M::Gauss7, 7, 7},     {M::Gauss8, 8, 8},     {M::Gauss10, 10, 10},
                          {M::Gauss15, 15, 15},  {M::Chebyshev5, 5, 5}, {M::Chebyshev6, 6, 6},
                          {M::Chebyshev7, 7, 7}};
    for (const Case& c : cases) {
        EXPECT_EQ(integrandCallCount(c.method, true), c.overX);
        EXPECT_EQ(integrandCallCount(c.method, false), c.overZ);
    }
    EXPECT_EQ(integrandCallCount(M::MonteCarlo, true), std::nullopt);
}

double wave(double t) { return std::sin(3 * t) + t * t; }

// Simpson's rule as the panel formula reads, with both panel ends taken from the lower limit.
double simpsonByPanels(int panels, double lower, double upper) {
    const double width = (upper - lower) / panels;
    double sum = 0.0;
    for (int i = 1; i <= panels; ++i) {
        const double left = lower + (i - 1) * width, right = lower + i * width;
        sum += (wave(left) + 4 * wave((left + right) / 2) + wave(right)) * (right - left) / 6;
    }
    return sum;
}

// Results must equal the rules' textbook formulas bit for bit (h·Σ w_i·f(m + h·t_i) in node
// order, Simpson panel by panel), and the batch path (points, values, combination) must
// reproduce integrate exactly.
TEST(Integration, ResultsMatchTheFormulasAndTheBatchPathBitForBit) {
    const double lower = 0.7, upper = -0.4;
    const double h = (upper - lower) / 2, m = (upper + lower) / 2;
    for (const M method : kFixedMethods) {
        for (const bool overX : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << "method " << static_cast<int>(method) << " overX " << overX);
            const double direct = integrateOf(method, overX, lower, upper, wave);
            const QuadratureRule rule = quadratureRule(method, overX);
            double sum = 0.0;
            for (std::size_t i = 0; i < rule.nodes.size(); ++i) {
                sum += rule.weights[i] * wave(m + h * rule.nodes[i]);
            }
            if (method == M::Simpson) {
                EXPECT_EQ(direct, simpsonByPanels(overX ? 75 : 20, lower, upper));
                EXPECT_NEAR(direct, h * sum, 1e-14);
            } else {
                EXPECT_EQ(direct, h * sum);
            }

            const SamplePoints points = samplePoints(method, overX, lower, upper);
            std::vector<double> values;
            for (const double t : points.points()) values.push_back(wave(t));
            EXPECT_EQ(combineSamples(method, overX, lower, upper, values), direct);
        }
    }
    const std::vector<double> tooFew(4, 1.0);
    EXPECT_THROW(combineSamples(M::Gauss5, true, 0.0, 1.0, tooFew), std::invalid_argument);
    EXPECT_THROW(combineSamples(M::MonteCarlo, true, 0.0, 1.0, {}), std::invalid_argument);
}

// Integrands sharing their points: the values are taken once per distinct point (Simpson's
// shared panel ends once: 2N + 1 of its 3N calls) and each integral is integrate's own.
TEST(Integration, IntegralsTogetherTakeEachPointOnceWithIntegratesNumbers) {
    const double lower = 0.7, upper = -0.4;
    for (const M method : kFixedMethods) {
        for (const bool overX : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << "method " << static_cast<int>(method) << " overX " << overX);
            std::vector<double> called;
            const auto both = integrateTogether<2>(method, overX, lower, upper, [&](double t) {
                called.push_back(t);
                return std::array{wave(t), std::exp(t)};
            });
            EXPECT_EQ(both[0], integrateOf(method, overX, lower, upper, wave));
            EXPECT_EQ(both[1], integrateOf(method, overX, lower, upper,
                                           [](double t) { return std::exp(t); }));
            const int calls = *integrandCallCount(method, overX);
            const int panels = overX ? 75 : 20;
            EXPECT_EQ(called.size(), method == M::Simpson ? 2 * panels + 1 : calls);
            EXPECT_EQ(std::adjacent_find(called.begin(), called.end()), called.end());
        }
    }
    EXPECT_THROW(
        integrateTogether<1>(M::MonteCarlo, true, 0.0, 1.0, [](double t) { return std::array{t}; }),
        std::invalid_argument);
}

// The classic runtime generator, to follow the sample sequence of a Monte Carlo integration.
struct ClassicRandom {
    std::uint32_t state;
    int next() {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state / 65536u) % 32768u);
    }
};

TEST(Integration, MonteCarloSamplesTheTimeSeededGeneratorUntilTheEstimateSettles) {
    ClassicRandom known{1};
    EXPECT_EQ(known.next(), 16838);
    EXPECT_EQ(known.next(), 5758);
    EXPECT_EQ(known.next(), 10113);

    std::vector<double> samples;
    const auto f = ofVariable(true, [&samples](double t) {
        samples.push_back(t);
        return t;
    });
    const double kp = 0.0;
    const std::time_t before = std::time(nullptr);
    const double result = integrate(M::MonteCarlo, f, kp, 0.0, 0.0, 0.0, 0.0, 0.0, true, 0.0, 1.0);
    const std::time_t after = std::time(nullptr);

    // On [0, 1] each sample is r·2^-15 exactly, so the generator's values can be read back.
    bool followsASeed = false;
    for (std::time_t seed = before; seed <= after && !followsASeed; ++seed) {
        ClassicRandom random{static_cast<std::uint32_t>(seed)};
        followsASeed = std::all_of(samples.begin(), samples.end(),
                                   [&](double t) { return t * 32768 == random.next(); });
    }
    EXPECT_TRUE(followsASeed);

    // Replays the estimates: the loop stops at the first settled estimate after two samples.
    double sum = 0.0, estimate = 0.0, previous = 0.0;
    for (std::size_t count = 1; count <= samples.size(); ++count) {
        sum += samples[count - 1];
        previous = estimate;
        estimate = sum / count;
        const bool settled = std::fabs(estimate - previous) <= 1e-7 * std::fabs(estimate);
        if (count < samples.size()) {
            EXPECT_FALSE(settled && count >= 2) << "count " << count;
        }
    }
    EXPECT_TRUE(samples.size() == 10000 ||
                std::fabs(estimate - previous) <= 1e-7 * std::fabs(estimate));
    EXPECT_EQ(result, estimate);
    EXPECT_GE(samples.size(), 2u);
}

// A cancel request reaches the innermost loop: a Monte Carlo integral of Monte Carlo integrals
// (up to 10^8 samples) stops within a few samples of the request, and fixed rules before their
// first point.
TEST(Integration, CancelStopsInsideNestedMonteCarloAndBeforeFixedRules) {
    std::atomic<bool> cancel{false};
    const CancelScope scope(&cancel);
    long samples = 0;
    const Evaluator inner = [&](const double&, const double& x, const double&, const double&,
                                const double&, const double&) {
        if (++samples == 1000) cancel = true;
        return x;
    };
    const double kp = 0.0;
    const Evaluator outer = [&](const double&, const double&, const double&, const double&,
                                const double& z, const double&) {
        return integrate(M::MonteCarlo, inner, kp, 0.0, 0.0, 0.0, z, 0.0, true, 0.0, 1.0);
    };
    try {
        integrate(M::MonteCarlo, outer, kp, 0.0, 0.0, 0.0, 0.0, 0.0, false, 0.0, 1.0);
        FAIL();
    } catch (const CalcError& e) {
        EXPECT_STREQ(e.what(), kCancelledMessage);
    }
    EXPECT_LE(samples, 1016);

    for (M method : kFixedMethods) {
        samples = 0;
        EXPECT_THROW(integrate(method, inner, kp, 0.0, 0.0, 0.0, 0.0, 0.0, true, 0.0, 1.0),
                     CalcError);
        EXPECT_EQ(samples, 0);
        const auto values = [&](double) { return std::array<double, 1>{double(++samples)}; };
        EXPECT_THROW(integrateTogether<1>(method, true, 0.0, 1.0, values), CalcError);
        EXPECT_EQ(samples, 0);
    }
}

TEST(Integration, MethodOutsideTheListIsRefused) {
    const double kp = 0.0;
    const auto f = ofVariable(true, [](double t) { return t; });
    for (const int index : {-1, kIntegrationMethodCount}) {
        const auto method = static_cast<M>(index);
        EXPECT_THROW(
            {
                try {
                    integrate(method, f, kp, 0.0, 0.0, 0.0, 0.0, 0.0, true, 0.0, 1.0);
                } catch (const CalcError& e) {
                    EXPECT_STREQ(e.what(), "No integration method is selected");
                    throw;
                }
            },
            CalcError);
        EXPECT_THROW(integrandCallCount(method, false), CalcError);
    }
}

}  // namespace
}  // namespace emforce
