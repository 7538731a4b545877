// Number conversions and display formats with the program's decimal separator.
#include "model/number_format.hpp"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

std::atomic<char> g_separator{','};

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Rewrites a real number text into the C form that from_chars reads, or returns an empty
// string when the text is not [sign] digits [separator digits] [e [sign] digits] with at least
// one mantissa digit. Either separator is a decimal point whatever the setting: the built-in
// texts carry commas and pasted numbers points. A second separator is digit grouping, refused.
std::string canonicalReal(std::string_view text) {
    std::string out;
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') out += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            out += c;
            ++mantissaDigits;
        } else if (!seenPoint && (c == '.' || c == ',')) {
            out += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return {};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) out += text[i++];
        int expDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++expDigits) out += text[i];
        if (expDigits == 0) return {};
    }
    return i == text.size() ? out : std::string{};
}

[[noreturn]] void refuse(std::string_view text, const char* kind) {
    throw CalcError("'" + std::string(text) + "' is not a valid " + kind + " value");
}

// A decimal value d0.d1d2... × 10^exponent.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// The exact decimal expansion of v: a double has at most 767 significant decimal digits, so
// this many digits leave nothing to rounding and ties can be told from near-ties.
Decimal exactDecimal(double v) {
    static thread_local char buffer[800];
    std::snprintf(buffer, sizeof buffer, "%.767e", std::fabs(v));
    Decimal d{std::signbit(v), {}, 0};
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (isDigit(*p)) d.digits += *p;
    d.exponent = std::atoi(p + 1);
    return d;
}

bool isZero(const Decimal& d) { return d.digits.find_first_not_of('0') == std::string::npos; }

// Rounds to `keep` significant digits, halves away from zero, as number texts are rounded.
Decimal roundedTo(const Decimal& exact, int keep) {
    Decimal r{exact.negative, {}, exact.exponent};
    if (keep <= 0) {
        const bool up = keep == 0 && exact.digits[0] >= '5';
        r.digits = up ? "1" : "0";
        r.exponent = up ? exact.exponent + 1 : 0;
        return r;
    }
    r.digits = exact.digits.substr(0, static_cast<size_t>(keep));
    if (exact.digits.size() > r.digits.size() && exact.digits[r.digits.size()] >= '5') {
        int i = keep - 1;
        for (; i >= 0 && r.digits[static_cast<size_t>(i)] == '9'; --i) r.digits[static_cast<size_t>(i)] = '0';
        if (i >= 0) {
            ++r.digits[static_cast<size_t>(i)];
        } else {
            r.digits.insert(r.digits.begin(), '1');
            r.digits.pop_back();
            ++r.exponent;
        }
    }
    if (isZero(r)) r.exponent = 0;
    return r;
}

// Fixed notation of d with exactly `decimals` digits after the separator.
std::string fixedText(const Decimal& d, int decimals) {
    auto digitAt = [&d](int weight) {  // digit of 10^weight
        const int k = d.exponent - weight;
        return k >= 0 && k < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(k)] : '0';
    };
    std::string out;
    for (int w = std::max(d.exponent, 0); w >= 0; --w) out += digitAt(w);
    if (decimals > 0) {
        out += decimalSeparator();
        for (int w = -1; w >= -decimals; --w) out += digitAt(w);
    }
    const bool zero = out.find_first_not_of(std::string("0") + decimalSeparator()) == std::string::npos;
    return (d.negative && !zero ? "-" : "") + out;
}

// No result of a run is infinite or NaN, but a formatter is given whatever a caller holds.
std::string nonFiniteText(double v) { return std::isnan(v) ? "NAN" : v < 0 ? "-INF" : "INF"; }

}  // namespace

char decimalSeparator() { return g_separator.load(std::memory_order_relaxed); }

void setDecimalSeparator(char separator) { g_separator.store(separator, std::memory_order_relaxed); }

double toReal(std::string_view text) {
    const std::string canonical = canonicalReal(trimBlanks(text));
    if (canonical.empty()) refuse(text, "floating point");
    const FpFlagsScope keepFlags;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (ec != std::errc{} || end != canonical.data() + canonical.size() || !std::isfinite(value))
        refuse(text, "floating point");
    return value;
}

int toInteger(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    std::string_view digits = t;
    const bool plus = !digits.empty() && digits.front() == '+';
    if (plus) digits.remove_prefix(1);
    if (digits.empty() || !(isDigit(digits.front()) || (!plus && digits.front() == '-')))
        refuse(text, "integer");
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc{} || end != digits.data() + digits.size()) refuse(text, "integer");
    return value;
}

bool toBoolean(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    auto equalsNoCase = [t](std::string_view word) {
        if (t.size() != word.size()) return false;
        for (size_t i = 0; i < t.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(t[i])) != word[i]) return false;
        return true;
    };
    if (equalsNoCase("true")) return true;
    if (equalsNoCase("false")) return false;
    const std::string canonical = canonicalReal(t);
    if (canonical.empty()) refuse(text, "boolean");
    const FpFlagsScope keepFlags;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (ec != std::errc{} || end != canonical.data() + canonical.size()) refuse(text, "boolean");
    return value != 0.0;
}

std::string formatExponent(double v, int precision, int expDigits) {
    if (!std::isfinite(v)) return nonFiniteText(v);
    const Decimal d = roundedTo(exactDecimal(v), precision);
    std::string out = d.negative && !isZero(d) ? "-" : "";
    out += d.digits[0];
    if (d.digits.size() > 1) {
        out += decimalSeparator();
        out.append(d.digits, 1);
    }
    std::string expText = std::to_string(std::abs(d.exponent));
    if (static_cast<int>(expText.size()) < expDigits)
        expText.insert(0, static_cast<size_t>(expDigits) - expText.size(), '0');
    out += d.exponent < 0 ? "E-" : "E+";
    return out + expText;
}

std::string formatFixed(double v, int precision, int decimals) {
    if (!std::isfinite(v)) return nonFiniteText(v);
    const Decimal exact = exactDecimal(v);
    const int exponent = roundedTo(exact, precision).exponent;
    if (exponent + 1 > precision) return formatExponent(v, precision, decimals);
    // One rounding, at whichever of the two limits is coarser.
    const int shown = std::min(decimals, precision - 1 - exponent);
    return fixedText(roundedTo(exact, exact.exponent + 1 + shown), decimals);
}

std::string formatGeneral(double v) {
    if (!std::isfinite(v)) return nonFiniteText(v);
    const Decimal d = roundedTo(exactDecimal(v), 15);
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (digits == "0") return "0";
    const std::string sign = d.negative ? "-" : "";
    const int e = d.exponent;
    if (e < -5 || e >= 15) {
        std::string mantissa(1, digits[0]);
        if (digits.size() > 1) mantissa += decimalSeparator() + digits.substr(1);
        return sign + mantissa + "E" + std::to_string(e);
    }
    const int decimals = std::max(0, static_cast<int>(digits.size()) - 1 - e);
    return fixedText(Decimal{d.negative, digits, e}, decimals);
}

}  // namespace emforce
