// Text, JSON and CSV reports of a command-line run.
#include "cli/run_report.hpp"

#include <charconv>

#include "files/json.hpp"
#include "model/number_format.hpp"
#include "model/spectrum.hpp"
#include "run/sweep.hpp"

namespace emforce::cli {

std::string roundTrip(double v) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc{} ? std::string(buffer, end) : "null";
}

namespace {

std::string jsonNumber(const std::optional<double>& v) { return v ? roundTrip(*v) : "null"; }

template <class T, class F>
std::string jsonArray(const std::vector<T>& items, F&& each) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + each(items[i]);
    return out + "]";
}

}  // namespace

void writeTextReport(std::ostream& out, const CapturingObserver& run, const RunOutcome& outcome) {
    out << "Harmonics\n";
    for (const std::string& line : run.harmonics) out << line << '\n';
    out << "\nForce / torque balance\n";
    for (const std::string& line : run.report) out << line << '\n';
    out << "\nErrors / accuracy\n";
    for (size_t i = 0; i < run.fields.size(); ++i) out << kResultFieldCaptions[i] << run.fields[i] << '\n';
    out << "\nStatus\n" << run.progress << '\n' << run.time << '\n';
    for (const auto& [slot, points] : run.series) {
        out << "\nCurve " << slot << ": " << slotRow(slot).title << '\n';
        for (const auto& [x, y] : points) out << formatGeneral(x) << '\t' << formatGeneral(y) << '\n';
    }
    if (!outcome.complete) out << "\nThe run was abandoned: " << outcome.message << '\n';
}

std::vector<std::pair<int, double>> harmonicAmplitudes(const CapturingObserver& run, const Model& model) {
    std::vector<std::pair<int, double>> amplitudes;
    if (run.harmonics.empty()) return amplitudes;
    const HarmonicRange range = harmonicRange(model.data.params.highestHarmonic);
    for (int i = range.first; i <= range.last; ++i)
        amplitudes.emplace_back(harmonicOrder(i), model.data.statorSpectrum[static_cast<size_t>(i)]);
    return amplitudes;
}

void writeJsonReport(std::ostream& out, const CapturingObserver& run, const RunOutcome& outcome,
                     const Model& model, const std::optional<NumericChoices>& choices) {
    out << "{\n  \"harmonics\": " << jsonArray(harmonicAmplitudes(run, model), [](const std::pair<int, double>& h) {
        return "[" + std::to_string(h.first) + ", " + roundTrip(h.second) + "]";
    });
    out << ",\n  \"tabled\": ";
    if (outcome.tabled) {
        const TabledPoint& t = *outcome.tabled;
        out << "{\"maxwell\": " << roundTrip(t.maxwell) << ", \"lorentz\": " << roundTrip(t.lorentz)
            << ", \"material\": " << roundTrip(t.material) << ", \"impulse\": " << roundTrip(t.impulse)
            << ", \"ratio\": " << jsonNumber(t.ratio) << "}";
    } else {
        out << "null";
    }
    out << ",\n  \"regions\": ";
    if (outcome.regions)
        out << jsonArray(*outcome.regions, [](const RegionOutcome& r) {
            return "{\"name\": " + jsonQuoted(r.name) + ", \"lorentz\": " + roundTrip(r.lorentz) +
                   ", \"joule\": " + roundTrip(r.joule) + "}";
        });
    else
        out << "null";
    out << ",\n  \"report\": " << jsonArray(run.report, jsonQuoted);
    out << ",\n  \"curves\": {";
    bool first = true;
    for (const auto& [slot, points] : run.series) {
        std::vector<double> xs, ys;
        for (const auto& [x, y] : points) {
            xs.push_back(x);
            ys.push_back(y);
        }
        out << (first ? "\n    " : ",\n    ") << jsonQuoted(std::to_string(slot)) << ": {\"title\": "
            << jsonQuoted(std::string(slotRow(slot).title)) << ", \"x\": " << jsonArray(xs, roundTrip)
            << ", \"y\": " << jsonArray(ys, roundTrip) << "}";
        first = false;
    }
    const RunStatistics& s = outcome.statistics;
    out << (first ? "}" : "\n  }") << ",\n  \"statistics\": {\"avgBalance\": " << jsonNumber(s.avgBalance)
        << ", \"maxBalance\": " << jsonNumber(s.maxBalance) << ", \"avgCoenergy\": " << jsonNumber(s.avgCoenergy)
        << ", \"avgPower\": " << jsonNumber(s.avgPower) << "}";
    out << ",\n  \"odeError\": " << jsonNumber(outcome.odeError);
    out << ",\n  \"bessel\": " << (choices ? jsonQuoted(choices->bessel) : std::string("null"));
    out << ",\n  \"formulation\": "
        << (choices ? jsonQuoted(choices->formulation) : std::string("null"));
    out << ",\n  \"edit2\": " << jsonQuoted(run.fields[static_cast<size_t>(ResultField::Lambda)]);
    out << ",\n  \"edit3\": " << jsonQuoted(run.fields[static_cast<size_t>(ResultField::BetaR)]);
    out << ",\n  \"error\": " << (outcome.complete ? "null" : jsonQuoted(outcome.message)) << "\n}\n";
}

void writeCsvReport(std::ostream& out, const CapturingObserver& run, int domain) {
    auto quoted = [](std::string_view s) {
        std::string q = "\"";
        for (const char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
        return q + "\"";
    };
    const bool knownDomain = domain >= 0 && domain < static_cast<int>(kDomainItems.size());
    out << quoted(knownDomain ? kDomainItems[static_cast<size_t>(domain)] : "x");
    size_t rows = 0;
    for (const auto& [slot, points] : run.series) {
        out << ',' << quoted(slotRow(slot).title);
        rows = std::max(rows, points.size());
    }
    out << '\n';
    for (size_t i = 0; i < rows; ++i) {
        bool xWritten = false;
        std::string line;
        for (const auto& [slot, points] : run.series) {
            if (!xWritten && i < points.size()) {
                line = roundTrip(points[i].first) + line;
                xWritten = true;
            }
            line += ',' + (i < points.size() ? roundTrip(points[i].second) : std::string());
        }
        out << line << '\n';
    }
}

}  // namespace emforce::cli
