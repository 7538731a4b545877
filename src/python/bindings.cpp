// The extension module emforce._emforce: the input record and a run that leaves Python free.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <variant>

#include "cli/cli_main.hpp"
#include "cli/command_line.hpp"
#include "cli/run_report.hpp"
#include "files/run_record.hpp"
#include "files/safe_file.hpp"
#include "files/stack_record.hpp"
#include "model/sample_sets.hpp"
#include "numerics/fp_guard.hpp"
#include "python/field_bindings.hpp"

namespace py = pybind11;

namespace emforce::python {

namespace {

// The input record of a run, as Python sees it.
struct Record {
    InputRecord inputs = startupRecord();
};

// Options of the command line that do not change the record.
const std::set<std::string, std::less<>> kRunOptions = {
    "json",    "csv",     "save-data", "write-params", "write-record",
    "threads", "literal", "help",      "version",      "list-samples"};
const std::set<std::string, std::less<>> kNamedCells = {"ni12re", "ni12im", "ni21re",
                                                        "ni21im", "ni12d",  "ni21d"};

bool isSetKey(const std::string& key) {
    return kNamedCells.contains(key) ||
           (!key.empty() && key.find_first_not_of("0123456789") == std::string::npos);
}

// A number as the program's texts write it: the shortest round-trip digits with a decimal comma.
std::string numberText(double v) {
    std::string text = cli::roundTrip(v);
    for (char& c : text)
        if (c == '.') c = ',';
    return text;
}

// A Python text as the core takes it: refused when it cannot pass through the core intact.
std::string coreText(const py::handle& text, const std::string& what) {
    const py::object bytes = py::reinterpret_steal<py::object>(PyUnicode_AsUTF8String(text.ptr()));
    if (!bytes) {
        PyErr_Clear();
        throw py::value_error(what + ": the text is not valid Unicode (it holds a lone surrogate)");
    }
    std::string result(PyBytes_AS_STRING(bytes.ptr()),
                       static_cast<size_t>(PyBytes_GET_SIZE(bytes.ptr())));
    if (result.find('\0') != std::string::npos)
        throw py::value_error(what + ": a text cannot hold the character NUL");
    return result;
}

// A text of the core for Python: bytes that are no UTF-8 (from a file, say) are kept as
// surrogate escapes rather than lost.
py::str pythonText(const std::string& text) {
    return py::reinterpret_steal<py::str>(PyUnicode_DecodeUTF8(
        text.data(), static_cast<py::ssize_t>(text.size()), "surrogateescape"));
}

std::string typeName(const py::handle& value) {
    return py::str(py::type::handle_of(value).attr("__name__"));
}

// What a key takes: texts alone (choices and files), whole numbers or texts, a curve list, or
// numbers and texts (table cells and the other texts of the record).
enum class ValueKind { Text, Whole, Curves, Number };

ValueKind valueKind(const std::string& key) {
    static const std::set<std::string, std::less<>> texts = {"motor",  "geometry", "bessel",
                                                             "sample", "params",   "record"};
    static const std::set<std::string, std::less<>> wholes = {"pattern", "method", "domain",
                                                              "points", "harmonic"};
    if (texts.contains(key)) return ValueKind::Text;
    if (wholes.contains(key)) return ValueKind::Whole;
    return key == "curves" ? ValueKind::Curves : ValueKind::Number;
}

bool isWhole(const py::handle& value) {
    return !py::isinstance<py::bool_>(value) && PyIndex_Check(value.ptr());
}

std::string wholeText(const py::handle& value) {
    return py::str(py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr())));
}

// The text a value of the key stands for: texts as they are, numbers with a decimal comma, a
// list of curve slots as "0,1,3". A value of a type the key does not take is refused.
std::string valueText(const std::string& key, const py::handle& value) {
    const ValueKind kind = valueKind(key);
    if (py::isinstance<py::str>(value)) return coreText(value, "'" + key + "'");
    if (py::isinstance<py::bool_>(value))
        throw py::type_error("a value is a number or a text, not True or False");
    const char* takes = kind == ValueKind::Text     ? "a text"
                        : kind == ValueKind::Whole  ? "a whole number or a text"
                        : kind == ValueKind::Curves ? "a text or a list of whole numbers"
                                                    : "a number or a text";
    const auto refuse = [&](const std::string& what) {
        throw py::type_error("'" + key + "' takes " + takes + ", not " + what);
    };
    if (kind == ValueKind::Curves &&
        (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value))) {
        std::string joined;
        for (const py::handle item : value) {
            if (!isWhole(item)) refuse("a list holding " + std::string(py::repr(item)));
            joined += (joined.empty() ? "" : ",") + wholeText(item);
        }
        return joined;
    }
    if (kind != ValueKind::Text && isWhole(value)) return wholeText(value);
    if (kind == ValueKind::Number &&
        (PyFloat_Check(value.ptr()) || py::hasattr(value, "__float__")))
        return numberText(value.cast<double>());
    refuse(typeName(value));
    return {};
}

// The record's stack as the dict of its run-record object, or None.
py::object stackDict(const Record& record) {
    if (!record.inputs.stack) return py::none();
    return py::module_::import("json").attr("loads")(stackJson(*record.inputs.stack, ""));
}

// The entries of a path after "stack": ".name" and "[index]".
std::vector<std::variant<std::string, size_t>> stackPath(const std::string& key) {
    std::vector<std::variant<std::string, size_t>> path;
    const auto bad = [&key] {
        return py::value_error("'" + key + "' is not a path into the stack");
    };
    for (size_t at = 5; at < key.size();) {
        if (key[at] == '.') {
            const size_t end = key.find_first_of(".[", at + 1);
            path.emplace_back(key.substr(at + 1, end - at - 1));
            if (std::get<std::string>(path.back()).empty()) throw bad();
            at = end == std::string::npos ? key.size() : end;
        } else if (key[at] == '[') {
            const size_t end = key.find(']', at);
            const std::string digits = key.substr(at + 1, end - at - 1);
            if (end == std::string::npos || digits.empty() || digits.size() > 6 ||
                digits.find_first_not_of("0123456789") != std::string::npos)
                throw bad();
            path.emplace_back(static_cast<size_t>(std::stoul(digits)));
            at = end + 1;
        } else {
            throw bad();
        }
    }
    if (path.empty()) throw bad();
    return path;
}

// A number as JSON holds it; texts and other values as they are.
py::object jsonValue(const py::handle& value) {
    if (py::isinstance<py::str>(value) || py::isinstance<py::bool_>(value))
        return py::reinterpret_borrow<py::object>(value);
    if (PyIndex_Check(value.ptr()))
        return py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    if (PyFloat_Check(value.ptr()) || py::hasattr(value, "__float__"))
        return py::float_(value.cast<double>());
    return py::reinterpret_borrow<py::object>(value);
}

// "stack" takes the whole stack (a dict of the run record's "stack" object, or None for none);
// "stack.layers[0].sigma" and the like one entry of the record's stack.
void setStack(Record& record, const std::string& key, const py::handle& value) {
    py::object whole = py::reinterpret_borrow<py::object>(value);
    if (key != "stack") {
        whole = stackDict(record);
        if (whole.is_none()) throw py::value_error("'" + key + "': the record has no stack");
        const auto path = stackPath(key);
        py::object node = whole;
        try {
            for (size_t i = 0; i + 1 < path.size(); ++i)
                node = std::visit([&node](const auto& k) { return py::object(node[py::cast(k)]); },
                                  path[i]);
            // A new key of an object is refused by name when the stack is read back.
            node[std::visit([](const auto& k) { return py::cast(k); }, path.back())] =
                jsonValue(value);
        } catch (const py::error_already_set&) {
            throw py::value_error("'" + key + "' names no entry of the record's stack");
        }
    }
    if (whole.is_none()) {
        record.inputs.stack.reset();
        return;
    }
    const std::string text = py::module_::import("json").attr("dumps")(whole).cast<std::string>();
    try {
        record.inputs.stack = stackFromJson(parseJson(text));
    } catch (const CalcError& e) {
        throw py::value_error(e.what());
    }
}

// Changes the record as the command line's option or --set key does.
void setValue(Record& record, const std::string& key, const py::handle& value) {
    if (key == "stack" || key.starts_with("stack.") || key.starts_with("stack["))
        return setStack(record, key, value);
    if (kRunOptions.contains(key))
        throw py::value_error(
            "'" + key + "' does not change the record (threads and literal go to emforce.run)");
    const std::string text = valueText(key, value);
    const std::vector<std::string> args = isSetKey(key)
                                              ? std::vector<std::string>{"--set", key + "=" + text}
                                              : std::vector<std::string>{"--" + key, text};
    cli::CommandLine cl;
    try {
        cl = cli::parseCommandLine(args);
    } catch (const cli::UsageError& e) {
        if (std::string_view(e.what()).starts_with("unknown option"))
            throw py::value_error("'" + key +
                                  "' is neither a --set key nor an option of the command line");
        throw py::value_error(e.what());
    }
    InputRecord changed = record.inputs;  // a file that does not read changes nothing
    cli::applyToRecord(cl, changed);
    record.inputs = std::move(changed);
}

py::array_t<double> array(const std::vector<double>& values) {
    return py::array_t<double>(static_cast<py::ssize_t>(values.size()), values.data());
}

py::object optional(const std::optional<double>& v) { return v ? py::cast(*v) : py::none(); }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Everything the run produced, under the names of the command line's JSON report.
py::dict resultDict(const cli::CapturingObserver& run, const RunOutcome& outcome,
                    const Model& model, const std::string& questions, const InputRecord& inputs) {
    py::dict result;
    result["harmonics"] = cli::harmonicAmplitudes(run, model);
    result["harmonic_lines"] = run.harmonics;
    if (outcome.tabled) {
        const TabledPoint& t = *outcome.tabled;
        result["tabled"] =
            py::dict(py::arg("maxwell") = t.maxwell, py::arg("lorentz") = t.lorentz,
                     py::arg("material") = t.material, py::arg("impulse") = t.impulse,
                     py::arg("ratio") = optional(t.ratio));
    } else {
        result["tabled"] = py::none();
    }
    if (outcome.regions) {
        py::list regions;
        for (const RegionOutcome& r : *outcome.regions)
            regions.append(py::dict(py::arg("name") = r.name, py::arg("lorentz") = r.lorentz,
                                    py::arg("joule") = r.joule));
        result["regions"] = regions;
    } else {
        result["regions"] = py::none();
    }
    result["report"] = run.report;
    py::dict curves;
    for (const auto& [slot, points] : run.series) {
        std::vector<double> xs, ys;
        for (const auto& [x, y] : points) {
            xs.push_back(x);
            ys.push_back(y);
        }
        curves[py::int_(slot)] =
            py::make_tuple(array(xs), array(ys), std::string(slotRow(slot).title));
    }
    result["curves"] = curves;
    const RunStatistics& s = outcome.statistics;
    result["statistics"] = py::dict(py::arg("avgBalance") = optional(s.avgBalance),
                                    py::arg("maxBalance") = optional(s.maxBalance),
                                    py::arg("avgCoenergy") = optional(s.avgCoenergy),
                                    py::arg("avgPower") = optional(s.avgPower));
    result["ode_error"] = optional(outcome.odeError);
    result["edit2"] = run.fields[static_cast<size_t>(ResultField::Lambda)];
    result["edit3"] = run.fields[static_cast<size_t>(ResultField::BetaR)];
    result["bessel"] = inputs.besselFunctions;
    result["formulation"] = inputs.formulation;
    result["questions"] = lines(questions);
    result["error"] = outcome.complete ? py::object(py::none()) : pythonText(outcome.message);
    return result;
}

// Runs on a thread of its own while the calling thread, without the GIL, waits for it and looks
// for Ctrl-C every 50 ms; Ctrl-C cancels the run and raises KeyboardInterrupt once it stopped.
// Threads as the command line's --threads takes them.
int threadCount(const py::object& threads) {
    if (threads.is_none()) return 0;
    if (!isWhole(threads))
        throw py::type_error("threads is a whole number or None, not " + typeName(threads));
    const py::int_ count = py::reinterpret_steal<py::int_>(PyNumber_Index(threads.ptr()));
    if (count < py::int_(1) || count > py::int_(1024))
        throw py::value_error("threads takes a whole number from 1 to 1024, not " +
                              std::string(py::str(py::handle(count))));
    return count.cast<int>();
}

py::dict run(const Record& record, const py::object& threads, bool literal) {
    const int threadsWanted = threadCount(threads);
    InputRecord inputs =
        record.inputs;  // the run writes the x cell back: the Record stays as it is
    const auto model = std::make_unique<Model>();
    std::ostringstream questions;
    cli::CapturingObserver observer(questions);
    std::atomic<bool> cancel{false};
    RunOptions options;
    options.threads = threadsWanted;
    options.literal = literal;
    options.cancel = &cancel;
    RunOutcome outcome;
    std::exception_ptr failure;
    bool interrupted = false;
    {
        py::gil_scoped_release released;
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::thread worker([&] {
            try {
                outcome = runCalculation(*model, inputs, observer, options);
            } catch (...) {
                failure = std::current_exception();
            }
            const std::lock_guard lock(mutex);
            done = true;
            finished.notify_one();
        });
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) {
            if (interrupted) continue;
            lock.unlock();
            {
                py::gil_scoped_acquire acquired;
                interrupted = PyErr_CheckSignals() != 0;  // leaves the exception set for later
            }
            if (interrupted) cancel = true;
            lock.lock();
        }
        lock.unlock();
        worker.join();
    }
    if (interrupted) throw py::error_already_set();
    if (failure) std::rethrow_exception(failure);
    return resultDict(observer, outcome, *model, questions.str(), record.inputs);
}

// The outputs of a design point in a batch, in the order of its columns.
constexpr std::array<const char*, 10> kBatchOutputs = {
    "maxwell",    "lorentz",    "material",    "impulse",  "ratio",
    "avgBalance", "maxBalance", "avgCoenergy", "avgPower", "odeError"};
// Points prepared (their records made) at a time: the records of a batch are never all held.
constexpr size_t kBatchChunk = 256;

// A view without a user for runs whose outputs are taken from their outcome alone: it keeps
// nothing and answers the layer questions No, as every view without a user does.
class SilentObserver final : public RunObserver {
public:
    void clearReport() override {}
    void appendReportLine(const std::string&) override {}
    void clearHarmonics() override {}
    void appendHarmonicLine(const std::string&) override {}
    void setProgressText(const std::string&) override {}
    void setTimeText(const std::string&) override {}
    void clearSeries(int) override {}
    void appendPoint(int, double, double) override {}
    void curveFinished(int) override {}
    void setField(ResultField, const std::string&) override {}
    bool ask(const std::string&) override { return false; }
    void runAbandoned(const std::string&) override {}
};

// Runs work on a thread of its own while the calling thread, without the GIL, looks for
// Ctrl-C every 50 ms; Ctrl-C sets cancel. Returns false when interrupted (the Python error is
// then set); rethrows what work threw.
bool runReleased(const std::function<void()>& work, std::atomic<bool>& cancel) {
    std::exception_ptr failure;
    bool interrupted = false;
    {
        py::gil_scoped_release released;
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::thread worker([&] {
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
            const std::lock_guard lock(mutex);
            done = true;
            finished.notify_one();
        });
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) {
            if (interrupted) continue;
            lock.unlock();
            {
                py::gil_scoped_acquire acquired;
                interrupted = PyErr_CheckSignals() != 0;  // leaves the exception set for later
            }
            if (interrupted) cancel = true;
            lock.lock();
        }
        lock.unlock();
        worker.join();
    }
    if (failure) std::rethrow_exception(failure);
    return !interrupted;
}

// One point of a batch: its record, or the message that kept it from running, and then what
// its run gave.
struct BatchPoint {
    InputRecord inputs;
    std::optional<std::string> message;
    std::optional<RunOutcome> outcome;
};

// The point's record: the base with each key set to the row's value as set() does; a value
// that set() refuses leaves the message in its place.
BatchPoint batchPoint(const Record& base, const std::vector<std::string>& keys,
                      const py::handle& row) {
    BatchPoint point;
    const py::sequence values = py::reinterpret_borrow<py::sequence>(row);
    Record record = base;
    try {
        for (size_t k = 0; k < keys.size(); ++k)
            setValue(record, keys[k], values[static_cast<py::ssize_t>(k)]);
    } catch (const py::value_error& e) {
        point.message = e.what();
    } catch (const py::type_error& e) {
        point.message = e.what();
    } catch (const CalcError& e) {
        point.message = e.what();
    } catch (const py::error_already_set& e) {
        if (!e.matches(PyExc_ValueError) && !e.matches(PyExc_TypeError)) throw;
        point.message = py::str(e.value());
    }
    point.inputs = std::move(record.inputs);
    return point;
}

// The outputs of a run into one row of the batch's table (NaN where undefined).
void fillOutputs(const RunOutcome& outcome, double* row) {
    const auto put = [row](size_t column, const std::optional<double>& v) {
        if (v) row[column] = *v;
    };
    if (outcome.tabled) {
        const TabledPoint& t = *outcome.tabled;
        for (const auto& [column, value] :
             {std::pair{0, t.maxwell}, {1, t.lorentz}, {2, t.material}, {3, t.impulse}})
            row[column] = value;
        put(4, t.ratio);
    }
    const RunStatistics& s = outcome.statistics;
    put(5, s.avgBalance);
    put(6, s.maxBalance);
    put(7, s.avgCoenergy);
    put(8, s.avgPower);
    put(9, outcome.odeError);
}

// Runs a design point per row, each the record with the keys set to the row's values, as
// emforce.run runs it: returns the table of outputs (a row per point, NaN where undefined)
// and the message of each point (None for one that completed).
py::tuple runBatch(const Record& base, const py::sequence& keyObjects, const py::sequence& rows,
                   const py::object& threads, bool literal) {
    RunOptions options;
    options.threads = threadCount(threads);
    options.literal = literal;
    std::atomic<bool> cancel{false};
    options.cancel = &cancel;
    std::vector<std::string> keys;
    for (const py::handle key : keyObjects) keys.push_back(coreText(py::str(key), "a key"));
    const size_t count = rows.size();
    for (const py::handle row : rows)
        if (!py::isinstance<py::sequence>(row) || py::isinstance<py::str>(row) ||
            py::len(row) != keys.size())
            throw py::type_error("each row holds one value per key (" +
                                 std::to_string(keys.size()) + ")");
    py::array_t<double> table(
        {static_cast<py::ssize_t>(count), static_cast<py::ssize_t>(kBatchOutputs.size())});
    double* cells = table.mutable_data();
    std::fill(cells, cells + count * kBatchOutputs.size(), std::nan(""));
    py::list messages(count);
    for (size_t first = 0; first < count; first += kBatchChunk) {
        std::vector<BatchPoint> points;
        for (size_t i = first; i < std::min(first + kBatchChunk, count); ++i)
            points.push_back(batchPoint(base, keys, rows[static_cast<py::ssize_t>(i)]));
        const bool finished = runReleased(
            [&] {
                for (BatchPoint& point : points) {
                    if (point.message) continue;
                    try {
                        const auto model = std::make_unique<Model>();
                        SilentObserver observer;
                        point.outcome = runCalculation(*model, point.inputs, observer, options);
                        if (!point.outcome->complete) point.message = point.outcome->message;
                    } catch (const CalcError& e) {
                        point.message = e.what();
                    }
                    if (cancel) return;
                }
            },
            cancel);
        if (!finished) throw py::error_already_set();
        for (size_t i = 0; i < points.size(); ++i) {
            if (points[i].outcome)
                fillOutputs(*points[i].outcome, cells + (first + i) * kBatchOutputs.size());
            messages[first + i] = points[i].message ? py::object(pythonText(*points[i].message))
                                                    : py::object(py::none());
        }
    }
    return py::make_tuple(table, messages);
}

Record makeRecord(const py::object& sample, const py::object& params,
                  const py::object& recordFile) {
    Record record;
    std::vector<std::string> args;
    for (const auto& [option, value] :
         {std::pair{"params", params}, {"record", recordFile}, {"sample", sample}}) {
        if (value.is_none()) continue;
        if (!py::isinstance<py::str>(value))
            throw py::type_error("'" + std::string(option) + "' takes a text, not " +
                                 typeName(value));
        args.insert(args.end(),
                    {"--" + std::string(option), coreText(value, "'" + std::string(option) + "'")});
    }
    try {
        cli::applyToRecord(cli::parseCommandLine(args), record.inputs);
    } catch (const cli::UsageError& e) {
        throw py::value_error(e.what());
    }
    return record;
}

}  // namespace

}  // namespace emforce::python

PYBIND11_MODULE(_emforce, m) {
    using namespace emforce;
    using emforce::python::Record;
    m.doc() = "The core of emforce: the input record of a run and the run itself.";
    // A message that holds bytes of no UTF-8 (from a file) keeps them as surrogate escapes.
    static auto& calcError = py::register_exception<CalcError>(m, "CalcError");
    py::register_exception_translator([](std::exception_ptr failure) {
        try {
            if (failure) std::rethrow_exception(failure);
        } catch (const CalcError& e) {
            PyErr_SetObject(calcError.ptr(), python::pythonText(e.what()).ptr());
        }
    });

    py::class_<Record>(m, "Record",
                       "Every input of a calculation run: tables, settings, curves, motor.")
        .def(py::init(&python::makeRecord), py::arg("sample") = py::none(),
             py::arg("params") = py::none(), py::arg("record") = py::none(),
             "The start-up data, changed by a parameter file, a run record and a sample set (its "
             "caption), in that order, as the command line does.")
        .def(
            "set",
            [](Record& r, const py::object& key, const py::handle& value) -> Record& {
                python::setValue(r, python::coreText(py::str(key), "a key"), value);
                return r;
            },
            py::arg("key"), py::arg("value"), py::return_value_policy::reference_internal,
            "Changes the record as the command line does: a key of --set (a table row '0'..'21', "
            "ni12re, ni12im, ni21re, ni21im, ni12d, ni21d) or an option name (geometry, harmonic, "
            "min-speed, sample, ...); numbers are written with the decimal comma; 'stack' takes a "
            "stack of regions (a dict as the run record's \"stack\" object, an emforce.Stack, or "
            "None) and a path such as 'stack.layers[0].sigma' one entry of it. Returns the record.")
        .def_property_readonly("stack", &python::stackDict,
                               "The stack of regions as a dict of the run record's \"stack\" "
                               "object, or None.")
        .def(
            "save",
            [](const Record& r, const py::str& path) {
                writeRunRecord(python::coreText(path, "the path"), r.inputs);
            },
            py::arg("path"), "Writes the run record file (JSON).")
        .def(
            "json", [](const Record& r) { return recordText(r.inputs); },
            "The run record's JSON text.")
        .def_static(
            "from_json",
            [](const py::str& text) {
                return Record{recordFromText(python::coreText(text, "the text"), "text")};
            },
            py::arg("text"), "The record of a run record's JSON text.")
        .def("copy", [](const Record& r) { return r; })
        .def("__eq__", [](const Record& a, const Record& b) { return a.inputs == b.inputs; })
        .def("__eq__", [](const Record&, const py::object&) { return false; })
        .def(py::pickle(
            [](const Record& r) { return recordText(r.inputs); },
            [](const std::string& text) { return Record{recordFromText(text, "pickle")}; }));

    m.def("run", &python::run, py::arg("record"), py::arg("threads") = py::none(),
          py::arg("literal") = false,
          "Runs one calculation; returns what it produced as a dict (see emforce.run).");
    m.def("run_batch", &python::runBatch, py::arg("record"), py::arg("keys"), py::arg("rows"),
          py::arg("threads") = py::none(), py::arg("literal") = false,
          "Runs a point per row (the record with the keys set to the row's values); returns the "
          "table of outputs and the messages (see emforce.run_batch).");
    m.attr("BATCH_OUTPUTS") = py::tuple(py::cast(
        std::vector<std::string>(python::kBatchOutputs.begin(), python::kBatchOutputs.end())));
    m.def(
        "write_file",
        [](const py::str& path, const py::bytes& data) {
            const std::string target = python::coreText(path, "the path");
            const std::string_view bytes = data;
            const py::gil_scoped_release released;
            replaceFile(target, bytes);
        },
        py::arg("path"), py::arg("data"),
        "Writes the bytes as the whole file as the program writes every file: a regular file is "
        "replaced atomically, links are followed, devices and FIFOs are written through.");
    m.def(
        "field",
        [](const Record& r, const std::string& quantity, const py::object& radius,
           const py::object& theta, const py::object& along, double t, const py::object& speed) {
            return python::fieldMap(r.inputs, quantity, radius, theta, along, t, speed);
        },
        py::arg("record"), py::arg("quantity"), py::arg("r") = py::none(),
        py::arg("theta") = py::none(), py::arg("along") = py::none(), py::arg("t") = 0.0,
        py::arg("speed") = py::none(), python::kFieldDoc);
    m.def("parameter_labels", [] {
        return std::vector<std::string>(kParameterLabels.begin(), kParameterLabels.end());
    });
    m.def("sample_captions", [] {
        std::vector<std::string> captions;
        for (const SampleSet& set : kSampleSets) captions.emplace_back(set.caption);
        return captions;
    });
}
