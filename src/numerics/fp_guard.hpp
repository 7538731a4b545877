// The one error type of a user action, and the floating-point fault checks that raise it.
#pragma once

#include <cfenv>
#include <stdexcept>
#include <string>

namespace emforce {

/// A failure that abandons the current user action: a text that does not convert, a
/// floating-point fault or one of the program's own refusals. what() is the exact message
/// shown to the user.
class CalcError : public std::runtime_error {
public:
    explicit CalcError(const std::string& message) : std::runtime_error(message) {}
};

/// Thrown when the user answers Yes to a question that ends the application.
struct ExitRequested {};

inline constexpr const char* kDivisionByZero = "Floating point division by zero";
inline constexpr const char* kInvalidOperation = "Invalid floating point operation";
inline constexpr const char* kOverflow = "Floating point overflow";

/// Clears the division-by-zero, invalid-operation and overflow flags of this thread.
void clearFpFaults();

/// Throws CalcError with the fault's message when one of the three flags is raised.
/// A division by zero or an overflow is reported before an invalid operation, since the
/// infinity it produced is what usually makes the invalid operation that follows.
void throwOnFpFault();

/// Returns v after checking the flags and that v is finite; a value that is not finite
/// without a raised flag is reported by its kind (infinity as overflow, NaN as invalid).
double checkedValue(double v);

/// Saves the floating-point flags on construction and restores them on destruction, so that
/// work that may raise flags legitimately (number parsing) leaves no trace.
class FpFlagsScope {
public:
    FpFlagsScope();
    ~FpFlagsScope();
    FpFlagsScope(const FpFlagsScope&) = delete;
    FpFlagsScope& operator=(const FpFlagsScope&) = delete;

private:
    std::fexcept_t m_saved{};
};

}  // namespace emforce
