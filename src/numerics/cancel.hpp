// Abandoning a long computation on request from another thread, checked deep inside its loops.
#pragma once

#include <atomic>

namespace emforce {

/// The message of a computation abandoned on request.
inline constexpr const char* kCancelledMessage = "Calculation cancelled";

/// While it lives, the cancel checks of this thread look at `flag` (nullptr: never cancelled).
/// Scopes nest; the innermost one counts. Each thread that works for a run opens its own.
class CancelScope {
public:
    explicit CancelScope(const std::atomic<bool>* flag);
    ~CancelScope();
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

private:
    const std::atomic<bool>* m_saved;
};

/// True when the flag of this thread's innermost scope is set.
[[nodiscard]] bool cancelRequested();

/// Throws CalcError(kCancelledMessage) when cancelRequested().
void throwIfCancelled();

}  // namespace emforce
