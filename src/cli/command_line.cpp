// Command-line options of emforce-cli and the record edits they stand for.
#include "cli/command_line.hpp"

#include <charconv>
#include <limits>
#include <map>

#include "model/sample_sets.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce::cli {

namespace {

int wholeNumber(const std::string& option, const std::string& text, int low, int high) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        throw UsageError(option + " takes a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + text + "'");
    return value;
}

template <size_t N>
int choice(const std::string& option, const std::string& text, const std::array<std::string_view, N>& names) {
    for (size_t i = 0; i < N; ++i)
        if (names[i] == text) return static_cast<int>(i);
    std::string list;
    for (std::string_view n : names) list += (list.empty() ? "" : "|") + std::string(n);
    throw UsageError(option + " takes " + list + ", not '" + text + "'");
}

std::array<bool, kCurveSlots> curveList(const std::string& text) {
    std::array<bool, kCurveSlots> curves{};
    if (text == "none") return curves;
    if (text == "all") {
        curves.fill(true);
        return curves;
    }
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        curves[static_cast<size_t>(wholeNumber("--curves", item, 0, kCurveSlots - 1))] = true;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return curves;
}

// A --set edit: a parameter-table row, or one of the named reluctivity and gap cells.
std::function<void(InputRecord&)> setEdit(const std::string& assignment) {
    const size_t eq = assignment.find('=');
    if (eq == std::string::npos) throw UsageError("--set takes KEY=TEXT, not '" + assignment + "'");
    const std::string key = assignment.substr(0, eq);
    std::string text = assignment.substr(eq + 1);
    static const std::map<std::string, std::function<std::string&(InputRecord&)>> named = {
        {"ni12re", [](InputRecord& r) -> std::string& { return r.reluctivityTable[1][1]; }},
        {"ni12im", [](InputRecord& r) -> std::string& { return r.reluctivityTable[1][2]; }},
        {"ni21re", [](InputRecord& r) -> std::string& { return r.reluctivityTable[2][1]; }},
        {"ni21im", [](InputRecord& r) -> std::string& { return r.reluctivityTable[2][2]; }},
        {"ni12d", [](InputRecord& r) -> std::string& { return r.ni12dGap; }},
        {"ni21d", [](InputRecord& r) -> std::string& { return r.ni21dGap; }},
    };
    if (const auto it = named.find(key); it != named.end())
        return [cell = it->second, text](InputRecord& r) { cell(r) = text; };
    int row = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), row);
    if (ec != std::errc{} || end != key.data() + key.size() || row < 0 || row >= kParameterRows)
        throw UsageError("--set takes a table row 0..21 or ni12re, ni12im, ni21re, ni21im, ni12d, ni21d, not '" +
                         key + "'");
    return [row, text](InputRecord& r) { r.value(row) = text; };
}

constexpr std::array<std::string_view, 2> kMotorNames = {"induction", "synchronous"};
constexpr std::array<std::string_view, 3> kGeometryNames = {"linear", "cylindrical", "spherical"};

}  // namespace

CommandLine parseCommandLine(std::span<const std::string> args) {
    CommandLine cl;
    FieldRequest field;
    std::optional<std::string> fieldQuantityName;
    bool fieldOption = false;  // any option of the field map
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        // An option in the place of the value means that the value was left out.
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size() || args[i + 1].starts_with("--"))
                throw UsageError(option + " needs a value");
            return args[++i];
        };
        auto edit = [&cl](std::function<void(InputRecord&)> f) { cl.edits.push_back(std::move(f)); };
        if (option == "--help" || option == "-h") {
            cl.mode = CommandLine::Mode::Help;
        } else if (option == "--version") {
            cl.mode = CommandLine::Mode::Version;
        } else if (option == "--list-samples") {
            cl.mode = CommandLine::Mode::ListSamples;
        } else if (option == "--params") {
            cl.paramsFile = value();
        } else if (option == "--record") {
            cl.recordFile = value();
        } else if (option == "--sample") {
            const std::string& caption = value();
            cl.sample = findSampleSet(caption);
            if (!cl.sample) throw UsageError("no sample set is called '" + caption + "' (see --list-samples)");
        } else if (option == "--motor") {
            const bool induction = choice(option, value(), kMotorNames) == 0;
            edit([induction](InputRecord& r) { r.induction = induction; });
        } else if (option == "--geometry") {
            const auto g = static_cast<Geometry>(choice(option, value(), kGeometryNames));
            edit([g](InputRecord& r) { r.geometry = g; });
        } else if (option == "--pattern") {
            const int p = wholeNumber(option, value(), 0, 13);
            edit([p](InputRecord& r) { r.windingPattern = p; });
        } else if (option == "--harmonic") {
            edit([t = value()](InputRecord& r) { r.highestHarmonic = t; });
        } else if (option == "--method") {
            const int m = wholeNumber(option, value(), 0, 10);
            edit([m](InputRecord& r) { r.integrationMethod = kIntegrationMethodItems[static_cast<size_t>(m)]; });
        } else if (option == "--bessel") {
            const int c = choice(option, value(), kBesselFunctionItems);
            edit([c](InputRecord& r) {
                r.besselFunctions = kBesselFunctionItems[static_cast<size_t>(c)];
            });
        } else if (option == "--formulation") {
            const int f = choice(option, value(), kFormulationItems);
            edit([f](InputRecord& r) { r.formulation = kFormulationItems[static_cast<size_t>(f)]; });
        } else if (option == "--bessel-accuracy") {
            edit([t = value()](InputRecord& r) { r.besselAccuracy = t; });
        } else if (option == "--bessel-limit") {
            edit([t = value()](InputRecord& r) { r.besselLimit = t; });
        } else if (option == "--points") {
            const int n = wholeNumber(option, value(), 1, std::numeric_limits<int>::max());
            edit([n](InputRecord& r) { r.pointsPerCurve = std::to_string(n); });
        } else if (option == "--domain") {
            const int d = wholeNumber(option, value(), 0, 4);
            edit([d](InputRecord& r) { r.domain = d; });
        } else if (option == "--curves") {
            edit([c = curveList(value())](InputRecord& r) { r.curves = c; });
        } else if (option == "--min-speed") {
            edit([t = value()](InputRecord& r) { r.minSpeed = t; });
        } else if (option == "--max-speed") {
            edit([t = value()](InputRecord& r) { r.maxSpeed = t; });
        } else if (option == "--set") {
            cl.edits.push_back(setEdit(value()));
        } else if (option == "--json") {
            cl.json = true;
        } else if (option == "--csv") {
            cl.csvFile = value();
        } else if (option == "--save-data") {
            cl.saveDataFile = value();
        } else if (option == "--write-params") {
            cl.writeParamsFile = value();
        } else if (option == "--write-record") {
            cl.writeRecordFile = value();
        } else if (option == "--threads") {
            cl.threads = wholeNumber(option, value(), 1, 1024);
        } else if (option == "--literal") {
            cl.literal = true;
        } else if (option == "--field") {
            fieldQuantityName = value();
        } else if (option == "--field-out") {
            field.file = value();
            fieldOption = true;
        } else if (option == "--field-t") {
            field.time = value();
            fieldOption = true;
        } else if (option == "--field-r") {
            field.r = value();
            fieldOption = true;
        } else if (option == "--field-speed") {
            field.speed = value();
            fieldOption = true;
        } else if (option == "--field-points") {
            const std::string& text = value();
            const size_t comma = text.find(',');
            if (comma == std::string::npos)
                throw UsageError("--field-points takes ROWS,COLUMNS, not '" + text + "'");
            field.rows = wholeNumber(option, text.substr(0, comma), 1, 2000);
            field.columns = wholeNumber(option, text.substr(comma + 1), 1, 2000);
            fieldOption = true;
        } else {
            throw UsageError("unknown option '" + option + "'");
        }
    }
    if (fieldQuantityName) {
        try {
            field.quantity = fieldQuantity(*fieldQuantityName);
        } catch (const CalcError& e) {
            throw UsageError(std::string("--field: ") + e.what());
        }
        if (field.file.empty()) throw UsageError("--field needs --field-out FILE");
        cl.field = field;
    } else if (fieldOption) {
        throw UsageError("--field-out, --field-t, --field-r, --field-speed and --field-points need "
                         "--field QUANTITY");
    }
    return cl;
}

std::string usageText() {
    return R"(Usage:
  emforce-cli [--params FILE] [--record FILE] [--sample CAPTION] [--motor induction|synchronous]
              [--geometry linear|cylindrical|spherical] [--pattern 0..13] [--harmonic H]
              [--method 0..10] [--bessel accurate|series] [--formulation physical|legacy]
              [--bessel-accuracy TEXT]
              [--bessel-limit TEXT] [--points N] [--domain 0..4] [--curves all|LIST]
              [--min-speed TEXT] [--max-speed TEXT] [--set KEY=TEXT]... [--json] [--csv FILE]
              [--save-data FILE] [--write-params FILE] [--write-record FILE] [--threads N]
              [--literal] [--field A|Bn|Bt|B|H|J --field-out FILE [--field-t T] [--field-r R]
              [--field-speed N] [--field-points ROWS,COLUMNS]]
  emforce-cli --list-samples | --help | --version

Runs one calculation on the start-up data ("updated Workshop data", spherical induction motor),
changed by a parameter file, a run record, a sample set and the other options, in that order,
and prints what the window would show. Texts are read with the decimal comma ("0,05", "7,0e6").

  --set KEY=TEXT   KEY is a parameter-table row 0..21, or ni12re, ni12im, ni21re, ni21im
                   (layer reluctivity cells), ni12d, ni21d (gap edits)
  --record FILE    a run record (JSON): every input of a run
  --bessel NAME    the modified Bessel functions: accurate over the whole domain of the
                   model (the default), or series: the power series with large-argument forms,
                   the only ones that --bessel-accuracy and --bessel-limit apply to
  --formulation NAME  physical (the default): each harmonic's layer currents at the frequency
                   the moving layer meets, 2*pi*(f1 - kp*h*n) (linear: 2*pi*(f1 - h*n)), linear
                   results over one fundamental wavelength, the Maxwell surface kept in the gap;
                   or legacy: the earlier formulation's numbers, bit for bit
  --curves LIST    curve slots 0..9 separated by commas, all, or none
  --domain D       0 position x/r, 1 gap width, 2 layer width, 3 z/teta, 4 speed or load angle
  --json           one JSON object on standard output, also when the run cannot start
  --csv FILE       the curves as CSV
  --save-data FILE the last induction curve as a result data file
  --write-params FILE  the parameter file of the state after the run
  --write-record FILE  the run record of the run's inputs: it reruns to the same numbers
  --threads N      worker threads (default: all cores)
  --literal        recompute every field solution at every point (for comparisons)
  --field Q        write the field map of the quantity Q to the CSV file of --field-out: the
                   potential A [Wb/m], B_n, B_t, |B| [T], |H| [A/m] or the current density J
                   [A/m^2], time-peak, at the time T [s] (--field-t, default 0) in the stator's
                   frame, over ROWS values of r across the machine (the spherical geometry:
                   polar angles at the layer surface for J, the middle of the gap otherwise;
                   --field-r R one radius) times COLUMNS positions over one fundamental period
                   along the travel (default 41,73), at the table's speed or N [1/s]
                   (--field-speed); a wave of positive order travels towards increasing y/phi

Exit status: 0 complete run, 1 abandoned run or a report that could not be written (message on
standard error), 2 usage error.
)";
}

}  // namespace emforce::cli
