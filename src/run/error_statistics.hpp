// Balance error statistics of the force, coenergy and power curves of an induction run.
#pragma once

#include <optional>
#include <vector>

namespace emforce {

using Curve = std::vector<double>;

/// Average of |TeL+TeM+TP-Te| / |Te| over the points; nullopt unless Te is not empty and every
/// other curve has its length. Points with Te = 0 add nothing but count. This statistic and the
/// three below throw CalcError "Floating point overflow" when a ratio or the average is beyond
/// the range of a double.
std::optional<double> avgBalanceError(const Curve& Te, const Curve& TeL, const Curve& TeM, const Curve& TP);
/// Largest of the same ratios, starting from 0.
std::optional<double> maxBalanceError(const Curve& Te, const Curve& TeL, const Curve& TeM, const Curve& TP);
/// Average of |(TeC+TP-Te) / Te|.
std::optional<double> avgCoenergyBalanceError(const Curve& Te, const Curve& TeC, const Curve& TP);
/// Average of |PJoule+PAnis-PS| / |PS|.
std::optional<double> avgPowerError(const Curve& PS, const Curve& PJoule, const Curve& PAnis);

}  // namespace emforce
