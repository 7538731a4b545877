// Finding what keeps a record from being read, before a run that would read it starts.
#include "model/input_problem.hpp"

#include "model/motor_general.hpp"

namespace emforce {

std::optional<InputProblem> findInputProblem(const InputRecord& record) {
    const FpFlagsScope flags;
    clearFpFaults();
    InputRecord copy = record;
    ModelData data;
    // A motor of its own over scratch data: the very reading a run makes, on nothing shared.
    MotorGeneralClass<double, Complex, Evaluator, ComplexEvaluator> probe(data);
    try {
        probe.readParameters(copy, {});
    } catch (const InputError& e) {
        return InputProblem{e.what(), e.where()};
    } catch (const CalcError& e) {
        return InputProblem{e.what(), std::nullopt};
    }
    return std::nullopt;
}

}  // namespace emforce
