// Modified Bessel functions of complex order and argument: power series and large-argument forms.
#include "numerics/bessel.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <mutex>
#include <numbers>
#include <optional>
#include <set>
#include <vector>

namespace emforce {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kEulerGamma = 0.5772156649015329;
// A large-argument sum goes on only while its newest term is below this size.
constexpr double kAsymptoticStop = 1e-30;
// Relative step of the second-derivative difference quotient, taken towards zero.
constexpr double kSecondStep = 0.9999;
// The series need some tens of terms, under a hundred at |z| = 50 with the accuracy 1e-17; the
// cap only guarantees an end for inputs that never meet the stop rule (a NaN, or an argument far
// beyond any limit of the settings), where the floating-point flags already tell the fault.
constexpr int kMaxTerms = 1000;

// One series term; `decides` is false for a term that vanishes through its coefficient alone,
// which says nothing about convergence.
struct SeriesTerm {
    Complex value;
    bool decides = true;
};

// Below this size of its larger part a term's modulus cannot overflow (hypot ≤ √2·max).
constexpr double kModulusInRange = 1e307;

// Whether a deciding term t ends the sum s: |t| ≤ accuracy and |t| ≤ accuracy·|s|. The moduli
// (two hypot calls) are formed only where bounds leave the answer open, which in a converging
// series is only at its last terms: the larger part of t is at most |t|, and |Re s| + |Im s| at
// least |s| (the factor 2 covers the roundings of both sides). The answer, and the flags
// raised, are those of the moduli always formed: a term below kModulusInRange has a modulus in
// range, and where the relative bound decides (a normal number, so that its rounding stays
// relative), |s| < |t|/(2·accuracy) ≤ 1/2.
bool endsSum(double accuracy, const Complex& t, const Complex& s) {
    const double re = std::fabs(t.re());
    const double im = std::fabs(t.im());
    const double lower = re > im ? re : im;
    const double relative = 2.0 * accuracy * (std::fabs(s.re()) + std::fabs(s.im()));
    if (lower < kModulusInRange &&
        (lower > accuracy || (relative >= std::numeric_limits<double>::min() && lower > relative)))
        return false;
    const double size = abs(t);
    return size <= accuracy && size <= accuracy * abs(s);
}

// Adds t_1, t_2, … to s (t_0 or nothing) and stops after the first deciding term that is at
// most `accuracy` both absolutely and relative to the partial sum; t_1 is always added. (The
// modulus of a term that does not decide, 0 or NaN, raises no flag and is not formed.)
template <class Term>
Complex sumToAccuracy(double accuracy, Complex s, Term term) {
    for (int k = 1; k <= kMaxTerms; ++k) {
        const SeriesTerm t = term(k);
        s += t.value;
        if (t.decides && endsSum(accuracy, t.value, s)) break;
    }
    return s;
}

// Γ(ν + k + 1), k = 0, 1, …, of the few orders a thread used last, each value computed once by
// complexGamma as a term first asks for it. Every node of one harmonic shares the orders ±λ, so
// a table serves all of them with the very values a fresh evaluation gives.
class GammaTable {
public:
    std::vector<Complex>& valuesOf(const Complex& nu) {
        for (Entry& e : m_entries)
            if (e.used && e.nu == nu) return e.values;
        Entry& e = m_entries[m_next];
        m_next = (m_next + 1) % m_entries.size();
        e = {nu, true, {}};
        return e.values;
    }

private:
    struct Entry {
        Complex nu;
        bool used = false;
        std::vector<Complex> values;
    };
    std::array<Entry, 8> m_entries;
    size_t m_next = 0;
};

thread_local GammaTable t_gammaTable;

// Γ(ν + k + 1) of the k-th series term: evaluated afresh for every term, or taken from the
// thread's table when the settings allow it.
class GammaOf {
public:
    GammaOf(const BesselSettings& s, const Complex& nu)
        : m_nu(nu), m_table(s.tabulateGamma ? &t_gammaTable.valuesOf(nu) : nullptr) {}

    Complex operator()(int k) const {
        if (m_table == nullptr) return complexGamma(m_nu + static_cast<double>(k + 1));
        while (m_table->size() <= static_cast<size_t>(k))
            m_table->push_back(complexGamma(m_nu + static_cast<double>(m_table->size() + 1)));
        return (*m_table)[static_cast<size_t>(k)];
    }

private:
    Complex m_nu;
    std::vector<Complex>* m_table;
};

// The last few sums of the I and I′ series a thread formed, with their inputs bit for bit: the
// reflection formula of K_ν(z) needs I_ν(z), which besselI at the same node has just summed
// (likewise K′ and I′). Only sums that raised no fault flag are kept, so that taking one again
// leaves the flags as summing it again would.
class SeriesMemo {
public:
    using Key = std::array<std::uint64_t, 8>;

    static Key keyOf(int kind, double accuracy, const Complex& p, const Complex& nu,
                     const Complex& z) {
        const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
        return {static_cast<std::uint64_t>(kind),
                bits(accuracy),
                bits(p.re()),
                bits(p.im()),
                bits(nu.re()),
                bits(nu.im()),
                bits(z.re()),
                bits(z.im())};
    }

    template <class Sum>
    Complex sum(const Key& key, const Sum& compute) {
        for (const Entry& e : m_entries)
            if (e.used && same(e.key, key)) return e.value;
        const Complex value = compute();
        if (std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW) == 0) {
            m_entries[m_next] = {key, value, true};
            m_next = (m_next + 1) % m_entries.size();
        }
        return value;
    }

private:
    static bool same(const Key& a, const Key& b) {
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i]) return false;
        return true;
    }

    struct Entry {
        Key key{};
        Complex value;
        bool used = false;
    };
    std::array<Entry, 4> m_entries;
    size_t m_next = 0;
};

thread_local SeriesMemo t_seriesMemo;

thread_local std::uint64_t t_evaluations = 0;
std::atomic<std::uint64_t> g_evaluations{0};

// The distinct evaluations of a run, for measuring how far a run is from the least it needs.
// Off unless a measurement turns it on; the normal path only reads the flag.
std::atomic<bool> g_trackDistinct{false};
std::mutex g_distinctMutex;
std::set<std::array<double, 7>> g_distinct;

void count(int kind, const Complex& p, const Complex& nu, const Complex& z) {
    ++t_evaluations;
    if (!g_trackDistinct.load(std::memory_order_relaxed)) return;
    const std::lock_guard lock(g_distinctMutex);
    g_distinct.insert(
        {static_cast<double>(kind), p.re(), p.im(), nu.re(), nu.im(), z.re(), z.im()});
}

bool isIntegerOrder(const Complex& nu) { return nu.im() == 0.0 && nu.re() == std::floor(nu.re()); }

// The n = |Re ν| of an integer order. (n − 1)! overflows far below the clamp, so a larger order
// only repeats the overflow that this one raises.
std::optional<int> integerOrder(const Complex& nu) {
    if (!isIntegerOrder(nu)) return std::nullopt;
    return static_cast<int>(std::min(std::fabs(nu.re()), static_cast<double>(kMaxTerms)));
}

// I_{−n} = I_n (DLMF 10.27.1): the series of order −n would meet the poles of Γ(ν + k + 1) in
// its first n terms, so a negative integer order is summed as the positive one.
Complex seriesOrder(const Complex& nu) { return isIntegerOrder(nu) && nu.re() < 0.0 ? -nu : nu; }

// I_ν(z) = (z/2)^ν Σ_{k≥0} (z²/4)^k / (k!·Γ(ν+k+1))  (A&S 9.6.10, DLMF 10.25.2), every z.
// (z/2)^ν is formed as i^(−ν)·(i·z/2)^ν, which equals it for Re z > 0.
Complex seriesI(double accuracy, const Complex& nu, const Complex& z, const GammaOf& gammaOf) {
    const Complex quarterZ2 = z * z / 4.0;
    Complex power = pow(kJ * z / 2.0, nu);  // (i·z/2)^ν·(z²/4)^k
    double kFactorial = 1.0;
    const Complex sum = sumToAccuracy(accuracy, power / gammaOf(0), [&](int k) {
        power *= quarterZ2;
        kFactorial *= k;
        return SeriesTerm{power / kFactorial / gammaOf(k)};
    });
    return pow(kJ, -nu) * sum;
}

// d/dz[z^p·I_ν(z)] = 2^(1−ν)·z^(ν+p−1)·Σ_{k≥0} ((ν+p)/2 + k)·(z²/4)^k / (k!·Γ(ν+k+1)), the
// series of DLMF 10.25.2 differentiated term by term; every z. Where ν + p = −2m the term m
// is zero (the derivative of a constant) and must not end the sum.
Complex seriesIPrime(double accuracy, const Complex& p, const Complex& nu, const Complex& z,
                     const GammaOf& gammaOf) {
    const Complex quarterZ2 = z * z / 4.0;
    const Complex halfSum = (nu + p) / 2.0;
    Complex power{1.0};  // (z²/4)^k
    double kFactorial = 1.0;
    const Complex sum = sumToAccuracy(accuracy, halfSum / gammaOf(0), [&](int k) {
        power *= quarterZ2;
        kFactorial *= k;
        const Complex coefficient = halfSum + static_cast<double>(k);
        return SeriesTerm{coefficient * power / kFactorial / gammaOf(k),
                          coefficient != Complex(0.0)};
    });
    return pow(2.0, 1.0 - nu) * pow(z, nu + p - 1.0) * sum;
}

// The I series of order ν at z, taken from the thread's last sums where the settings keep
// values (the reuse path).
Complex seriesSumI(const BesselSettings& s, const Complex& nu, const Complex& z) {
    const auto compute = [&] { return seriesI(s.accuracy, nu, z, GammaOf(s, nu)); };
    if (!s.tabulateGamma) return compute();
    return t_seriesMemo.sum(SeriesMemo::keyOf(0, s.accuracy, Complex{}, nu, z), compute);
}

// The I′ series of z^p·I_ν(z) at z, likewise.
Complex seriesSumIPrime(const BesselSettings& s, const Complex& p, const Complex& nu,
                        const Complex& z) {
    const auto compute = [&] { return seriesIPrime(s.accuracy, p, nu, z, GammaOf(s, nu)); };
    if (!s.tabulateGamma) return compute();
    return t_seriesMemo.sum(SeriesMemo::keyOf(1, s.accuracy, p, nu, z), compute);
}

// The last sum of K_n: Σ_{k≥0} (H_k + H_{n+k})·(z/2)^(2k+n) / (k!·(n+k)!). The terms k ≥ 1 are
// summed to accuracy on their own partial sum and the k = 0 term H_n·(z/2)^n/n! added last.
// The running factorials and harmonic numbers repeat the operations of factorial() and
// harmonicNumber() exactly, without their O(k) cost per term.
Complex seriesKIntegerTail(double accuracy, int n, const Complex& half) {
    const Complex half2 = half * half;
    Complex power = pow(half, n);  // (z/2)^(2k+n)
    const double nFactorial = factorial(n);
    const double hn = harmonicNumber(n);
    const Complex first = hn * power / nFactorial;
    double kFactorial = 1.0;
    double nkFactorial = nFactorial;
    double hk = 0.0;
    double hnk = hn;
    const Complex rest = sumToAccuracy(accuracy, Complex{}, [&](int k) {
        power *= half2;
        kFactorial *= k;
        nkFactorial *= n + k;
        hk += 1.0 / k;
        hnk += 1.0 / (n + k);
        return SeriesTerm{(hk + hnk) * power / kFactorial / nkFactorial};
    });
    return rest + first;
}

// K_n(z) = ½ Σ_{k=0}^{n−1} (−1)^k (n−k−1)!/k! (z/2)^(2k−n) + (−1)^(n+1) (γ + Log(z/2)) I_n(z)
//        + (−1)^n ½ Σ_{k≥0} (H_k + H_{n+k}) (z/2)^(2k+n) / (k!(n+k)!)
// (A&S 9.6.11, DLMF 10.31.1 with ψ(k+1) = H_k − γ); integer n ≥ 0, every z off the cut.
Complex seriesKInteger(const BesselSettings& s, int n, const Complex& z) {
    const double accuracy = s.accuracy;
    const Complex half = z / 2.0;
    Complex a{};
    for (int k = 0; k < n; ++k) {
        a += pow(Complex(-1.0), k) * (factorial(n - k - 1) / factorial(k)) *
             pow(half, static_cast<double>(2 * k - n));
    }
    const double sign = n % 2 == 0 ? 1.0 : -1.0;  // (−1)^n
    const Complex in = seriesSumI(s, Complex(n), z);
    const Complex b = -sign * (kEulerGamma + log(half)) * in;
    const Complex c = sign * 0.5 * seriesKIntegerTail(accuracy, n, half);
    return 0.5 * a + b + c;
}

// K_ν(z) = (π/2)·(I_{−ν}(z) − I_ν(z)) / sin(νπ)  (A&S 9.6.2, DLMF 10.27.4); ν not an integer.
// Loses digits to cancellation as I_{±ν} ≫ K_ν, roughly as e^(2 Re z), and as ν nears an
// integer.
Complex reflectionK(const BesselSettings& s, const Complex& nu, const Complex& z) {
    const Complex difference = seriesSumI(s, -nu, z) - seriesSumI(s, nu, z);
    return kPi / 2.0 * difference / sin(nu * kPi);
}

// The derivative of the reflection formula above for z^p·K_ν(z); ν not an integer.
Complex reflectionKPrime(const BesselSettings& s, const Complex& p, const Complex& nu,
                         const Complex& z) {
    const Complex difference = seriesSumIPrime(s, p, -nu, z) - seriesSumIPrime(s, p, nu, z);
    return kPi / 2.0 * difference / sin(nu * kPi);
}

// t_1 + t_2 + … with t_k = −t_{k−1}·(4ν² − (2k−1)²) / (divisor(k)·z). The sum holds t_1 and t_2
// and goes on only while the newest term is below 1e-30 in modulus and not exactly zero: in
// practice two terms, and an end at the zero term where the expansion terminates
// (ν = ±1/2, ±3/2).
template <class Divisor>
Complex asymptoticSum(const Complex& fourNu2, const Complex& z, Complex term, Divisor divisor) {
    Complex sum = term;
    for (int k = 2; k <= kMaxTerms; ++k) {
        const double odd = 2.0 * k - 1.0;
        term = -term * (fourNu2 - odd * odd) / (divisor(k) * z);
        sum += term;
        if (!(abs(term) < kAsymptoticStop && term != Complex(0.0))) break;
    }
    return sum;
}

// S of I_ν(z) ~ e^z/√(2πz)·(1 + S): t_1 = −(4ν² − 1)/(8z)  (A&S 9.7.1, DLMF 10.40.1).
Complex asymptoticS(const Complex& nu, const Complex& z) {
    const Complex fourNu2 = 4.0 * nu * nu;
    return asymptoticSum(fourNu2, z, -(fourNu2 - 1.0) / (8.0 * z), [](int k) { return 8.0 * k; });
}

// S′ = dS/dz: u_1 = (4ν² − 1)/(8z²), u_k = −u_{k−1}·(4ν² − (2k−1)²)/(8(k−1)·z).
Complex asymptoticSPrime(const Complex& nu, const Complex& z) {
    const Complex fourNu2 = 4.0 * nu * nu;
    return asymptoticSum(fourNu2, z, (fourNu2 - 1.0) / (8.0 * z * z),
                         [](int k) { return 8.0 * (k - 1); });
}

// z^p·I_ν(z) ≈ z^(p−1/2)·e^z·(1 + S)/√(2π)  (A&S 9.7.1, DLMF 10.40.1), large |z|, |arg z| < π/2.
// The omitted e^(−z) part is relatively e^(−2 Re z): the form worsens as arg z nears π/2.
Complex largeArgumentI(const Complex& p, const Complex& nu, const Complex& z) {
    const double invSqrt2Pi = 1.0 / std::sqrt(2.0 * kPi);
    return invSqrt2Pi * pow(z, p - 0.5) * exp(z) * (1.0 + asymptoticS(nu, z));
}

// The exact derivative of the large-argument form of z^p·I_ν(z):
// z^(p−1/2)·e^z·[(1 + (p − 1/2)/z)·(1 + S) + S′]/√(2π).
Complex largeArgumentIPrime(const Complex& p, const Complex& nu, const Complex& z) {
    const double invSqrt2Pi = 1.0 / std::sqrt(2.0 * kPi);
    const Complex bracket =
        (1.0 + (p - 0.5) / z) * (1.0 + asymptoticS(nu, z)) + asymptoticSPrime(nu, z);
    return invSqrt2Pi * pow(z, p - 0.5) * exp(z) * bracket;
}

// z^p·K_ν(z) ≈ √(π/2)·z^(p−1/2)·e^(−z), the leading term of A&S 9.7.2 (DLMF 10.40.2), large
// |z|, |arg z| < 3π/2; relative error about |4ν² − 1|/(8|z|), exact for ν = ±1/2.
Complex largeArgumentK(const Complex& p, const Complex& z) {
    return std::sqrt(kPi / 2.0) * pow(z, p - 0.5) * exp(-z);
}

// The derivative of the leading term: √(π/2)·z^(p−1/2)·e^(−z)·((p − 1/2)/z − 1).
Complex largeArgumentKPrime(const Complex& p, const Complex& z) {
    return largeArgumentK(p, z) * ((p - 0.5) / z - 1.0);
}

// Γ(u) = √(2π)·(c_0 + Σ_{i=1}^{6} c_i/(u+i))·(u+5.5)^(u+0.5)·e^(−(u+5.5))/u: Lanczos (1964)
// with γ = 5 and six terms (the coefficients tabulated by Press et al.), |ε| < 2e-10 for
// Re u > 0. The power and the exponential are joined into one exponential so that
// Γ(u) up to 170 does not overflow in between.
Complex lanczosGamma(const Complex& u) {
    static constexpr double kCoefficients[] = {76.18009172947146,    -86.50532032941678,
                                               24.01409824083091,    -1.231739572450155,
                                               0.001208650973866179, -5.395239384953e-06};
    Complex series{1.000000000190015};
    for (int i = 0; i < 6; ++i) series += kCoefficients[i] / (u + static_cast<double>(i + 1));
    const Complex shifted = u + 5.5;
    return std::sqrt(2.0 * kPi) * series * exp((u + 0.5) * log(shifted) - shifted) / u;
}

}  // namespace

Complex besselI(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z) {
    count(0, p, nu, z);
    if (abs(z) > s.limit) return largeArgumentI(p, nu, z);
    const Complex order = seriesOrder(nu);
    return pow(z, p) * seriesSumI(s, order, z);
}

Complex besselIPrime(const BesselSettings& s, const Complex& p, const Complex& nu,
                     const Complex& z) {
    count(1, p, nu, z);
    if (abs(z) > s.limit) return largeArgumentIPrime(p, nu, z);
    const Complex order = seriesOrder(nu);
    return seriesSumIPrime(s, p, order, z);
}

// f″(z) ≈ [f′(0.9999·z) − f′(z)] / ((0.9999 − 1)·z), a one-sided quotient with error about
// 5e-5·|z·f‴/f″|. Near |z| = limit the two evaluations may fall into different regimes.
Complex besselISecond(const BesselSettings& s, const Complex& p, const Complex& nu,
                      const Complex& z) {
    return besselISecondFrom(s, p, nu, z, besselIPrime(s, p, nu, z));
}

Complex besselISecondFrom(const BesselSettings& s, const Complex& p, const Complex& nu,
                          const Complex& z, const Complex& primeAtZ) {
    return (besselIPrime(s, p, nu, kSecondStep * z) - primeAtZ) / ((kSecondStep - 1.0) * z);
}

Complex besselK(const BesselSettings& s, const Complex& p, const Complex& nu, const Complex& z) {
    count(2, p, nu, z);
    if (abs(z) > s.limit) return largeArgumentK(p, z);
    if (const std::optional<int> n = integerOrder(nu)) {
        return pow(z, p) * seriesKInteger(s, *n, z);
    }
    return pow(z, p) * reflectionK(s, nu, z);
}

// Integer order: d/dz[z^p·K_n(z)] = (p + n)·z^(p−1)·K_n(z) − z^p·K_{n+1}(z), from
// K′_n = (n/z)·K_n − K_{n+1} (A&S 9.6.26, DLMF 10.29.2).
Complex besselKPrime(const BesselSettings& s, const Complex& p, const Complex& nu,
                     const Complex& z) {
    count(3, p, nu, z);
    if (abs(z) > s.limit) return largeArgumentKPrime(p, z);
    if (const std::optional<int> n = integerOrder(nu)) {
        return (p + static_cast<double>(*n)) * pow(z, p - 1.0) * seriesKInteger(s, *n, z) -
               pow(z, p) * seriesKInteger(s, *n + 1, z);
    }
    return reflectionKPrime(s, p, nu, z);
}

// The same difference quotient as besselISecond, of besselKPrime.
Complex besselKSecond(const BesselSettings& s, const Complex& p, const Complex& nu,
                      const Complex& z) {
    return besselKSecondFrom(s, p, nu, z, besselKPrime(s, p, nu, z));
}

Complex besselKSecondFrom(const BesselSettings& s, const Complex& p, const Complex& nu,
                          const Complex& z, const Complex& primeAtZ) {
    return (besselKPrime(s, p, nu, kSecondStep * z) - primeAtZ) / ((kSecondStep - 1.0) * z);
}

// Γ(w) = −π / (u·Γ(u)·sin(πu)) with u = −w for Re w < 0 (A&S 6.1.17, DLMF 5.5.3). At the poles
// 0, −1, −2, … the value is infinite and the division-by-zero flag is raised, as for 1/0.
Complex complexGamma(const Complex& w) {
    if (w.im() == 0.0 && w.re() <= 0.0 && w.re() == std::floor(w.re())) {
        std::feraiseexcept(FE_DIVBYZERO);
        return {std::numeric_limits<double>::infinity(), 0.0};
    }
    if (w.re() >= 0.0) return lanczosGamma(w);
    const Complex u = -w;
    return -kPi / (u * lanczosGamma(u) * sin(kPi * u));
}

void countBesselEvaluation(int kind, const Complex& p, const Complex& nu, const Complex& z) {
    count(kind, p, nu, z);
}

void flushBesselEvaluations() {
    g_evaluations.fetch_add(t_evaluations, std::memory_order_relaxed);
    t_evaluations = 0;
}

std::uint64_t besselEvaluations() {
    return g_evaluations.load(std::memory_order_relaxed) + t_evaluations;
}

void resetBesselEvaluations() {
    g_evaluations.store(0, std::memory_order_relaxed);
    t_evaluations = 0;
    const std::lock_guard lock(g_distinctMutex);
    g_distinct.clear();
}

void trackDistinctBesselEvaluations(bool on) {
    g_trackDistinct.store(on, std::memory_order_relaxed);
}

std::uint64_t distinctBesselEvaluations() {
    const std::lock_guard lock(g_distinctMutex);
    return g_distinct.size();
}

// Multiplies upwards, (((2·1)·3)·…)·n, and stops once the product has overflowed.
double factorial(int n) {
    double result = 1.0;
    for (int i = 2; i <= n && std::isfinite(result); ++i) result *= i;
    return result;
}

double harmonicNumber(int n) {
    double result = 0.0;
    for (int i = 1; i <= n; ++i) result += 1.0 / i;
    return result;
}

}  // namespace emforce
