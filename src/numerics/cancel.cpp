// Abandoning a long computation on request from another thread, checked deep inside its loops.
#include "numerics/cancel.hpp"

#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

// A thread-local flag rather than a parameter: the checks sit in the integration loops, below
// every evaluator, whose signatures are the model's own.
thread_local const std::atomic<bool>* t_cancel = nullptr;

}  // namespace

CancelScope::CancelScope(const std::atomic<bool>* flag) : m_saved(t_cancel) { t_cancel = flag; }

CancelScope::~CancelScope() { t_cancel = m_saved; }

bool cancelRequested() { return t_cancel != nullptr && t_cancel->load(std::memory_order_relaxed); }

void throwIfCancelled() {
    if (cancelRequested()) throw CalcError(kCancelledMessage);
}

}  // namespace emforce
