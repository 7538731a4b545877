// Fuzz target: the number conversions of texts and the three display formats.
#include <cctype>
#include <cfenv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.hpp"
#include "model/number_format.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce::fuzz {

namespace {

// The conversions must leave the floating-point flags as they found them, refusing or not.
template <class Conversion>
auto withFlagsKept(const std::string& text, Conversion convert) {
    std::feclearexcept(FE_ALL_EXCEPT);
    std::feraiseexcept(FE_INEXACT);
    auto flagsKept = [&text] {
        check(std::fetestexcept(FE_ALL_EXCEPT) == FE_INEXACT, "flags changed by '" + text + "'");
    };
    try {
        const auto value = convert(text);
        flagsKept();
        return value;
    } catch (const CalcError&) {
        flagsKept();
        throw;
    }
}

// Reads a text from the front, one form element at a time.
class Scan {
public:
    explicit Scan(std::string_view text) : m_text(text) {}

    bool eat(std::string_view any) {
        if (m_pos >= m_text.size() || any.find(m_text[m_pos]) == std::string_view::npos)
            return false;
        ++m_pos;
        return true;
    }
    size_t digits() {
        const size_t start = m_pos;
        while (eat("0123456789")) {
        }
        return m_pos - start;
    }
    void blanks() {
        while (eat(" \t")) {
        }
    }
    [[nodiscard]] bool atEnd() const { return m_pos == m_text.size(); }
    [[nodiscard]] size_t position() const { return m_pos; }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

// The separators a number text may use, one of them once, whatever the program's setting.
std::string_view separators() { return ".,"; }

// The digit counts of a text of the documented real form
// [blanks][sign]digits[separator digits][e[sign]digits][blanks], or nothing for another form.
struct RealShape {
    size_t integerDigits = 0, fractionDigits = 0, exponentDigits = 0;
};

std::optional<RealShape> realShape(std::string_view text) {
    Scan scan(text);
    RealShape shape;
    scan.blanks();
    scan.eat("+-");
    shape.integerDigits = scan.digits();
    if (scan.eat(separators())) shape.fractionDigits = scan.digits();
    if (shape.integerDigits + shape.fractionDigits == 0) return std::nullopt;
    if (scan.eat("eE")) {
        scan.eat("+-");
        shape.exponentDigits = scan.digits();
        if (shape.exponentDigits == 0) return std::nullopt;
    }
    scan.blanks();
    return scan.atEnd() ? std::optional(shape) : std::nullopt;
}

// The significant digits of a text of the integer form [blanks][sign]digits[blanks], or nothing
// for another form.
std::optional<size_t> integerDigits(std::string_view text) {
    Scan scan(text);
    scan.blanks();
    scan.eat("+-");
    const size_t start = scan.position();
    const size_t digits = scan.digits();
    scan.blanks();
    if (digits == 0 || !scan.atEnd()) return std::nullopt;
    const std::string_view run = text.substr(start, digits);
    return digits - std::min(run.find_first_not_of('0'), digits);
}

// what() ends at the first zero byte of the text it names.
void expectRefusal(const CalcError& e, const std::string& text, const char* kind) {
    const std::string message = "'" + text + "' is not a valid " + kind + " value";
    check(e.what() == std::string(message.c_str()), std::string("message: ") + e.what());
}

void checkReal(const std::string& text) {
    const std::optional<RealShape> shape = realShape(text);
    try {
        const double v = withFlagsKept(text, [](const std::string& t) { return toReal(t); });
        check(shape.has_value(), "accepted outside the form: '" + text + "'");
        check(std::isfinite(v), "not finite: '" + text + "'");
        const double back = toReal(formatGeneral(v));
        check(std::fabs(back - v) <= 5e-15 * std::fabs(v) + 1e-323,
              "general format of '" + text + "'");
    } catch (const CalcError& e) {
        expectRefusal(e, text, "floating point");
        // Long mantissas and large exponents may leave the double range; modest ones may not.
        const bool modest = shape && shape->integerDigits + shape->fractionDigits <= 30 &&
                            shape->exponentDigits <= 2;
        check(!modest, "refused a plain number: '" + text + "'");
    }
}

void checkInteger(const std::string& text) {
    const std::optional<size_t> digits = integerDigits(text);
    try {
        const int v = withFlagsKept(text, [](const std::string& t) { return toInteger(t); });
        check(digits.has_value(), "accepted outside the form: '" + text + "'");
        check(std::stoll(text) == v, "wrong value of '" + text + "'");
    } catch (const CalcError& e) {
        expectRefusal(e, text, "integer");
        check(!digits || *digits > 9, "refused a plain integer: '" + text + "'");
    }
}

void checkBoolean(const std::string& text) {
    try {
        const bool b = withFlagsKept(text, [](const std::string& t) { return toBoolean(t); });
        try {
            check(b == (toReal(text) != 0.0), "boolean of the number '" + text + "'");
        } catch (const CalcError&) {
            std::string word;
            for (const char c : text)
                if (c != ' ' && c != '\t')
                    word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            check(word == "true" || word == "false", "accepted as a boolean: '" + text + "'");
        }
    } catch (const CalcError& e) {
        expectRefusal(e, text, "boolean");
    }
}

// The nearest double to a decimal text is within half a unit of its last digit, and within
// one rounding more of the value that was formatted.
void checkReadsBack(const std::string& text, double v, double unit) {
    double back = 0;
    try {
        back = toReal(text);
    } catch (const CalcError&) {
        check(std::fabs(v) > 1e308,
              "format of " + std::to_string(v) + " does not read: '" + text + "'");
        return;
    }
    const double ulp = std::fabs(std::nextafter(v, 0.0) - v) + 1e-323;
    check(std::fabs(back - v) <= 0.5 * unit * (1 + 1e-12) + 2 * ulp,
          "'" + text + "' is too far from its value");
}

// The exponent of a text -d[,d...]E±x with `precision` digits and `digits` exponent digits at
// least, or nothing for another form.
std::optional<int> exponentOf(const std::string& text, int precision, int digits) {
    Scan scan(text);
    scan.eat("-");
    if (scan.digits() != 1) return std::nullopt;
    if (precision > 1 && (!scan.eat(std::string(1, decimalSeparator())) ||
                          scan.digits() != static_cast<size_t>(precision - 1)))
        return std::nullopt;
    if (!scan.eat("E")) return std::nullopt;
    const size_t sign = scan.position();
    if (!scan.eat("+-") || scan.digits() < static_cast<size_t>(digits) || !scan.atEnd())
        return std::nullopt;
    return std::stoi(text.substr(sign));
}

// Whether a text is -d...[,d...] with exactly `digits` decimals.
bool isFixed(const std::string& text, int digits) {
    Scan scan(text);
    scan.eat("-");
    if (scan.digits() == 0) return false;
    if (digits > 0 && (!scan.eat(std::string(1, decimalSeparator())) ||
                       scan.digits() != static_cast<size_t>(digits)))
        return false;
    return scan.atEnd();
}

void checkFormats(double v, int precision, int digits) {
    const std::string exponent = formatExponent(v, precision, digits);
    const std::string fixed = formatFixed(v, precision, digits);
    const std::string general = formatGeneral(v);
    if (!std::isfinite(v)) {
        const std::string want = std::isnan(v) ? "NAN" : v < 0 ? "-INF" : "INF";
        check(exponent == want && fixed == want && general == want,
              "non-finite value as '" + exponent + "'");
        return;
    }
    // The exponent after rounding: a value rounded up to the next power of ten gets the coarser
    // unit.
    const std::optional<int> leading = exponentOf(exponent, precision, digits);
    check(leading.has_value(), "exponent form '" + exponent + "'");
    checkReadsBack(exponent, v, std::pow(10.0, *leading - precision + 1));
    checkReadsBack(general, v, std::fabs(v) * 1e-14);
    if (fixed == exponent) return;  // too many integer digits for the fixed form
    check(isFixed(fixed, digits), "fixed form '" + fixed + "'");
    checkReadsBack(fixed, v,
                   std::max(std::pow(10.0, -digits), std::pow(10.0, *leading - precision + 1)));
}

}  // namespace

int fuzzNumbers(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const SeparatorScope separator(in.flag() ? '.' : ',');
    switch (in.pick(4)) {
        case 0:
            checkReal(in.rest());
            break;
        case 1:
            checkInteger(in.rest());
            break;
        case 2:
            checkBoolean(in.rest());
            break;
        default: {
            const int precision = 1 + in.pick(20);
            const int digits = in.pick(21);
            checkFormats(in.rawReal(), precision, digits);
        }
    }
    return 0;
}

}  // namespace emforce::fuzz
