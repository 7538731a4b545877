// Complex numbers of the field model: a pair of doubles with the principal-branch operations.
#pragma once

#include <cmath>
#include <complex>

namespace emforce {

/// A complex amplitude. Arithmetic is plain (no NaN recovery as in C99 Annex G), division uses
/// Smith's scaled method, and every elementary function is on the principal branch, so the
/// floating-point status flags raised are those of the formulas as written.
class Complex {
public:
    constexpr Complex() = default;
    constexpr Complex(double re) : m_re(re) {}  // NOLINT: a real is a complex with zero imaginary part
    constexpr Complex(double re, double im) : m_re(re), m_im(im) {}

    [[nodiscard]] constexpr double re() const { return m_re; }
    [[nodiscard]] constexpr double im() const { return m_im; }

    constexpr Complex& operator+=(const Complex& o) {
        m_re += o.m_re;
        m_im += o.m_im;
        return *this;
    }
    constexpr Complex& operator-=(const Complex& o) {
        m_re -= o.m_re;
        m_im -= o.m_im;
        return *this;
    }
    constexpr Complex& operator*=(const Complex& o) {
        const double r = m_re * o.m_re - m_im * o.m_im;
        m_im = m_re * o.m_im + m_im * o.m_re;
        m_re = r;
        return *this;
    }
    Complex& operator/=(const Complex& o);

    friend constexpr bool operator==(const Complex&, const Complex&) = default;

private:
    double m_re = 0.0;
    double m_im = 0.0;
};

/// The imaginary unit j.
inline constexpr Complex kJ{0.0, 1.0};

constexpr Complex operator-(const Complex& a) { return {-a.re(), -a.im()}; }
constexpr Complex operator+(Complex a, const Complex& b) { return a += b; }
constexpr Complex operator-(Complex a, const Complex& b) { return a -= b; }
constexpr Complex operator*(Complex a, const Complex& b) { return a *= b; }
constexpr Complex operator+(Complex a, double b) { return {a.re() + b, a.im()}; }
constexpr Complex operator+(double a, const Complex& b) { return {a + b.re(), b.im()}; }
constexpr Complex operator-(const Complex& a, double b) { return {a.re() - b, a.im()}; }
constexpr Complex operator-(double a, const Complex& b) { return {a - b.re(), -b.im()}; }
constexpr Complex operator*(const Complex& a, double b) { return {a.re() * b, a.im() * b}; }
constexpr Complex operator*(double a, const Complex& b) { return {a * b.re(), a * b.im()}; }
constexpr Complex operator/(const Complex& a, double b) { return {a.re() / b, a.im() / b}; }
// Smith's method: divide by the larger of |Re| and |Im| of the divisor first. A zero divisor
// makes 0/0 in the ratio, the invalid operation that the run reports. Inline: the continued
// fractions and series divide in their loops.
inline Complex operator/(const Complex& a, const Complex& b) {
    if (std::fabs(b.re()) >= std::fabs(b.im())) {
        const double r = b.im() / b.re();
        const double d = b.re() + r * b.im();
        return {(a.re() + a.im() * r) / d, (a.im() - a.re() * r) / d};
    }
    const double r = b.re() / b.im();
    const double d = b.im() + r * b.re();
    return {(a.re() * r + a.im()) / d, (a.im() * r - a.re()) / d};
}
inline Complex& Complex::operator/=(const Complex& o) { return *this = *this / o; }
inline Complex operator/(double a, const Complex& b) { return Complex(a) / b; }

constexpr double real(const Complex& z) { return z.re(); }
constexpr double imag(const Complex& z) { return z.im(); }
constexpr Complex conj(const Complex& z) { return {z.re(), -z.im()}; }
/// Modulus by hypot, so that very large parts do not overflow.
inline double abs(const Complex& z) { return std::hypot(z.re(), z.im()); }
/// Squared modulus, re² + im².
constexpr double norm(const Complex& z) { return z.re() * z.re() + z.im() * z.im(); }

/// e^z.
Complex exp(const Complex& z);
/// Principal logarithm ln|z| + i·atan2(Im z, Re z).
Complex log(const Complex& z);
/// Principal square root (non-negative real part).
Complex sqrt(const Complex& z);
/// Complex sine.
Complex sin(const Complex& z);
/// z^n by repeated multiplication; a negative n gives the reciprocal of z^|n|.
Complex pow(const Complex& z, int n);
/// z^w = exp(w·Log z) for a real exponent.
Complex pow(const Complex& z, double w);
/// z^w = exp(w·Log z).
Complex pow(const Complex& z, const Complex& w);
/// x^w = exp(w·ln x) for a real base x > 0.
Complex pow(double x, const Complex& w);

}  // namespace emforce
