// The waves of a field map from a solved stack of regions or from the induction motor's solution.
#include "run/field_sources.hpp"

#include "induction/asynchronous_motor.hpp"
#include "induction/stack_field.hpp"
#include "model/seed_stack.hpp"
#include "model/spectrum.hpp"
#include "numerics/fp_guard.hpp"
#include "run/stack_run.hpp"

namespace emforce {

std::shared_ptr<const FieldMap::Source> stackFieldSource(const RegionStack& entered,
                                                         const MotorParameters& p, double n) {
    const RegionStack stack = runStack(entered, p);
    const auto layout = std::make_shared<const StackLayout>(stackLayout(stack));
    const double speed = stackSpeed(p, n);
    auto fields = std::make_shared<std::vector<StackField>>();
    for (const SourceHarmonic& wave : stackWaves(stack)) fields->emplace_back(*layout, wave, speed);
    clearFpFaults();  // what the solution raised on its way is judged by the values it gives

    auto source = std::make_shared<FieldMap::Source>();
    source->geometry = stack.geometry;
    source->speed = n;
    source->omega = stack.omega;
    source->period = 2.0 * std::numbers::pi / stack.kp;
    for (const StackRegion& r : layout->regions)
        source->regions.push_back({r.name, r.inner, r.outer, r.sigma > 0.0 || r.band});
    for (const StackField& f : *fields) {
        source->orders.push_back(f.order());
        source->waveNumbers.push_back(f.wave());
    }
    source->values = [layout, fields = std::shared_ptr<const std::vector<StackField>>(fields)](
                         const FieldRow& row, std::size_t region, std::vector<WaveValues>& out) {
        const StackRegion& reg = layout->regions[region];
        const double across = layout->geometry == Geometry::Linear ? 1.0 : row.r;
        for (const StackField& f : *fields) {
            const std::array<Complex, 2> a = f.potential(region, row.r);
            WaveValues v;
            v.a = a[0];
            v.bn = -kJ * f.wave() * a[0] / across;
            v.bt = -a[1];
            v.ht = f.tangentialField(region, row.r, a);
            v.hn = reg.reluctivity
                       ? kNi0 * (reg.reluctivity->nu1 * v.bn + reg.reluctivity->nu12 * v.bt)
                       : v.bn * (kNi0 / reg.muR);
            if (reg.band)
                v.j = f.bandDensity();
            else if (reg.sigma > 0.0)
                v.j = -kJ * (f.slip(region) * reg.sigma) * a[0];
            out.push_back(v);
        }
    };
    return source;
}

namespace {

// One harmonic the induction motor includes, with the arguments of its field operations.
struct SeedWave {
    int order;
    double kh;
    double slip;
    double amplitude;  // A_h, the stator MMF amplitude
};

}  // namespace

std::shared_ptr<const FieldMap::Source> seedFieldSource(InputRecord record,
                                                        std::optional<double> n) {
    const auto data = std::make_shared<ModelData>();
    AsynchronousMotor motor(*data);
    motor.readParameters(record, [](const std::string&) { return false; });
    MotorParameters& p = data->params;
    if (n) p.n = *n;

    auto source = std::make_shared<FieldMap::Source>();
    source->geometry = p.geometry;
    source->speed = p.n;
    source->omega = 2.0 * std::numbers::pi * p.f1;
    source->period = 2.0 * std::numbers::pi / p.kp;
    source->polar = {p.teta1, p.teta2};
    source->regions = {{"layer", p.R - p.a, p.R, p.gamma > 0.0}, {"gap", p.R, p.R + p.g, false}};
    // The harmonics and slip speeds of the motor's harmonic sum.
    std::vector<SeedWave> waves;
    const HarmonicRange range = harmonicRange(p.highestHarmonic);
    for (int i = std::max(range.first, 0); i <= std::min(range.last, kHarmonicCount - 1); ++i) {
        const int h = harmonicOrder(i);
        const double s = p.syncSpeed / h - p.n;
        const double amplitude = data->statorSpectrum[static_cast<std::size_t>(i)];
        if (!harmonicIncluded(s, h, p.phases, amplitude, p.syncSpeed)) continue;
        waves.push_back({h, p.kp * h, s, amplitude});
        source->orders.push_back(h);
        source->waveNumbers.push_back(p.kp * h);
    }
    clearFpFaults();
    source->values = [data, motor, waves](const FieldRow& row, std::size_t region,
                                          std::vector<WaveValues>& out) {
        AsynchronousMotor m = motor;  // it counts its solves: one copy per call
        const MotorParameters& q = data->params;
        for (const SeedWave& w : waves) {
            const double x = row.r;
            const HarmonicField f = m.solveField(w.kh, q.g, q.a, row.theta, w.slip);
            WaveValues v;
            if (region == 0) {
                const LayerPoint layer = layerPointAt(f, x, true);
                v.a = w.amplitude * layer.potential;
                v.bn = w.amplitude * layer.normalFlux;
                v.bt = w.amplitude * layer.tangentialFlux;
                v.hn = q.ni1 * v.bn + q.ni12 * v.bt;
                v.ht = q.ni21 * v.bn + q.ni2 * v.bt;
                v.j = -q.gamma * f.frequency * v.a;
            } else {
                const GapPoint gap = gapPointAt(f, x);
                v.a = w.amplitude * gap.potential;
                v.bn = w.amplitude * gap.normalFlux;
                v.ht = w.amplitude * gap.tangentialField;
                v.bt = (v.ht - q.ni21d * v.bn) / q.ni2d;
                v.hn = q.ni1d * v.bn + q.ni12d * v.bt;
            }
            out.push_back(v);
        }
    };
    return source;
}

}  // namespace emforce
