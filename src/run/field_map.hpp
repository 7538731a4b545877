// The field of a run's machine at points and instants, summed over its waves.
#pragma once

#include <array>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/input_record.hpp"
#include "numerics/complex.hpp"

namespace emforce {

/// The quantities of a field map.
enum class FieldQuantity {
    A,   ///< the vector potential A_z (the flux function) [Wb/m]
    Bn,  ///< the flux density normal to the surfaces r = const: B_x, B_r [T]
    Bt,  ///< the flux density along the travel: B_y, B_φ [T]
    B,   ///< |B| [T]
    H,   ///< |H| [A/m]
    J,   ///< the current density along the axis (z) [A/m²]
};

/// A quantity's short name (as the command line and Python take it), unit and caption.
struct FieldQuantityInfo {
    std::string_view name;
    std::string_view unit;
    std::string_view caption;
};

/// Every quantity in the order of FieldQuantity.
inline constexpr std::array<FieldQuantity, 6> kFieldQuantities = {
    FieldQuantity::A, FieldQuantity::Bn, FieldQuantity::Bt,
    FieldQuantity::B, FieldQuantity::H,  FieldQuantity::J};

/// The name, unit and caption of a quantity.
const FieldQuantityInfo& fieldQuantityInfo(FieldQuantity q);

/// The quantity of a name ("A", "Bn", "Bt", "B", "H", "J", letter case ignored). Throws
/// CalcError "Unknown field quantity "X": choose A, Bn, Bt, B, H or J".
FieldQuantity fieldQuantity(std::string_view name);

/// The complex amplitudes of one wave at one point; the field is Re(v·e^{j(ωt − k·u)}) with u
/// the position along the travel (see FieldMap).
struct WaveValues {
    Complex a, bn, bt, hn, ht, j;
};

/// One region of the machine as the field shows it, between two values of r (a region to the
/// axis starts at 0, a half-space at −∞, the air outside a stator shell ends at +∞).
struct FieldRegion {
    std::string name;
    double inner = 0.0;
    double outer = 0.0;
    bool conducting = false;  ///< carries currents: σ > 0, or the winding band
};

/// A point across the machine: r (the position x in the linear geometry, the radius
/// otherwise) and, in the spherical geometry, the polar angle θ [rad].
struct FieldRow {
    double r = 0.0;
    double theta = std::numbers::pi / 2;
};

/// The amplitudes of every wave at a list of rows.
struct FieldProfile {
    std::vector<FieldRow> rows;
    std::vector<int> orders;          ///< the signed harmonic order of each wave
    std::vector<double> waveNumbers;  ///< k of each wave: k1·h [1/m] (linear), p·h [1/rad]
    double omega = 0.0;               ///< the supply's angular frequency [rad/s]
    std::vector<WaveValues> values;   ///< rows × waves, row by row

    /// The amplitudes of wave w at row i.
    [[nodiscard]] const WaveValues& at(std::size_t i, std::size_t w) const {
        return values[i * orders.size() + w];
    }
};

/// The instantaneous values of one quantity over rows × along at the time t.
struct FieldGrid {
    FieldQuantity quantity = FieldQuantity::A;
    std::vector<FieldRow> rows;
    std::vector<double> along;
    double t = 0.0;
    std::vector<double> values;  ///< rows × along, row by row

    [[nodiscard]] double at(std::size_t row, std::size_t col) const {
        return values[row * along.size() + col];
    }
};

/// The instantaneous values of a quantity from a profile: Σ_w Re(v_w·e^{j(ωt − k_w·u)}) at every
/// row and position u, and |B| = √(B_n² + B_t²), |H| likewise, from the summed components.
FieldGrid sampleProfile(const FieldProfile& profile, FieldQuantity quantity,
                        const std::vector<double>& along, double t);

/// The field of a run's machine at one speed, solved once per wave from the same solutions as
/// the run: the record's stack of regions (one StackField per wave), or without a stack the
/// one-layer model of the table (the induction motor's own solution of each included harmonic,
/// times its stator MMF amplitude A_h).
///
/// Conventions: every value is a time-peak amplitude in the stator's frame at the time t [s],
/// Re(v·e^{j(ωt − k·u)}) summed over the waves, ω = 2π·f1. u is the position along the travel:
/// y [m] in the linear geometry (k = k1·h), the mechanical angle φ [rad] in the cylindrical and
/// spherical ones (k = p·h); a wave of positive order travels towards increasing u, and so does
/// a rotor of positive speed. r is the position x [m] across a linear machine (growing from the
/// core towards the stator) or the radius [m]. A is the z component of the vector potential
/// (Wb/m, the flux function of the cross-section in the linear and cylindrical geometries),
/// B_n = ∂A/∂u / L with L = 1 (linear), r (cylindrical), r·sin θ (spherical), B_t = −∂A/∂r
/// (spherical −(1/r)·∂(r·A)/∂r), J the current density along z: −σ·(jω_s)·A in a conductor
/// seeing the wave at ω_s (σ·s_c with the table's fI as well), the winding's own in a band.
/// The stack's values are per metre of length; the one-layer model's are those of its
/// current sheet of the table's MMF. The legacy formulation's harmonics keep ω = 2π·f1 here.
class FieldMap {
public:
    /// Reads the record as a run does and solves every wave at the speed n [1/s] (the
    /// table's when none). Throws CalcError for a record a run refuses, for the synchronous
    /// motor, and with the stack's messages.
    static FieldMap solve(const InputRecord& record, std::optional<double> speed = std::nullopt);

    [[nodiscard]] Geometry geometry() const;
    /// The regions inside out (linear, cylindrical: the whole stack; spherical and the
    /// one-layer model: the layer and the gap).
    [[nodiscard]] const std::vector<FieldRegion>& regions() const;
    /// The speed n [1/s] the field was solved at.
    [[nodiscard]] double speed() const;
    /// ω = 2π·f1 [rad/s].
    [[nodiscard]] double omega() const;
    /// One fundamental period along the travel: 2π/k1 [m] (linear), 2π/p [rad].
    [[nodiscard]] double period() const;
    /// The signed orders of the waves.
    [[nodiscard]] const std::vector<int>& orders() const;
    /// The spherical geometry's polar bounds θ1, θ2 [rad].
    [[nodiscard]] std::pair<double, double> polarBounds() const;
    /// The finite span of r a cross-section shows: from the core surface (the axis, or a depth
    /// as large as the finite regions into a half-space) to the stator (and a fifth of that
    /// span of the air outside a stator shell).
    [[nodiscard]] std::pair<double, double> span() const;
    /// The index of the region holding r (the inner one on a boundary), or none outside.
    [[nodiscard]] std::optional<std::size_t> regionAt(double r) const;
    /// The amplitudes of every wave at the rows. Throws CalcError for a row outside every
    /// region (or a polar angle outside (0, π)) and for a value that is not finite.
    [[nodiscard]] FieldProfile profile(const std::vector<FieldRow>& rows) const;
    /// The instantaneous quantity over rows × along at t: profile then sampleProfile.
    [[nodiscard]] FieldGrid grid(FieldQuantity quantity, const std::vector<FieldRow>& rows,
                                 const std::vector<double>& along, double t) const;

    struct Source;

private:
    explicit FieldMap(std::shared_ptr<const Source> source) : m_source(std::move(source)) {}
    std::shared_ptr<const Source> m_source;
};

/// n equally spaced values from first to last (first alone when n is 1).
std::vector<double> evenlySpaced(double first, double last, std::size_t n);

}  // namespace emforce
