// emforce-cli: builds the input record from the options, runs one calculation and reports it.
#include "cli/cli_main.hpp"

#include <algorithm>
#include <memory>
#include <sstream>

#include "cli/command_line.hpp"
#include "cli/run_report.hpp"
#include "files/data_file.hpp"
#include "files/safe_file.hpp"
#include "files/parameter_file.hpp"
#include "files/run_record.hpp"
#include "run/calculation_run.hpp"
#include "run/field_table.hpp"
#include "model/number_format.hpp"
#include "model/sample_sets.hpp"
#include "numerics/fp_guard.hpp"

#ifndef EMFORCE_VERSION
#define EMFORCE_VERSION "unknown"
#endif

namespace emforce::cli {

namespace {

// The field map of the run's inputs as the request asks for it, written through the safe writer.
void writeField(const FieldRequest& request, const InputRecord& inputs) {
    const std::optional<double> speed =
        request.speed ? std::optional<double>(toReal(*request.speed)) : std::nullopt;
    const std::optional<double> r =
        request.r ? std::optional<double>(toReal(*request.r)) : std::nullopt;
    const double t = toReal(request.time);
    const FieldMap map = FieldMap::solve(inputs, speed);
    const std::vector<FieldRow> rows =
        fieldRows(map, request.quantity, static_cast<std::size_t>(request.rows), r);
    const FieldGrid grid = map.grid(request.quantity, rows,
                                    fieldAlong(map, static_cast<std::size_t>(request.columns)), t);
    replaceFile(request.file, fieldCsv(map, grid));
}

// `inputs` is the record as the run started, `record` as the run left it.
void writeOutputs(const CommandLine& cl, const InputRecord& inputs, const InputRecord& record,
                  const CapturingObserver& run, const Model& model) {
    if (cl.csvFile) {
        // Replaced as a whole, like the other files: a failed write keeps the previous table.
        std::ostringstream csv;
        writeCsvReport(csv, run, record.domain);
        replaceFile(*cl.csvFile, csv.str());
    }
    if (cl.saveDataFile) writeDataFile(*cl.saveDataFile, model.induction.curveX(), model.induction.curveY());
    if (cl.writeParamsFile) writeParameterFile(*cl.writeParamsFile, record);
    if (cl.writeRecordFile) writeRunRecord(*cl.writeRecordFile, inputs);
    if (cl.field) writeField(*cl.field, inputs);
}

// A report that did not reach its reader is no success, whatever the run did.
int reported(std::ostream& out, std::ostream& err, int status) {
    if (out.flush()) return status;
    err << kReportNotWritten << '\n';
    return kExitAbandoned;
}

// A run that could not start: with --json the report still comes, empty, with its error.
int notStarted(bool json, std::ostream& out, std::ostream& err, const std::string& message,
               const std::string& shown, int status) {
    err << shown << '\n';
    if (!json) return status;
    std::ostringstream questions;
    const auto model = std::make_unique<Model>();
    RunOutcome outcome;
    outcome.message = message;
    writeJsonReport(out, CapturingObserver(questions), outcome, *model, std::nullopt);
    return reported(out, err, status);
}

}  // namespace

void applyToRecord(const CommandLine& cl, InputRecord& record) {
    if (cl.paramsFile) {
        const ParameterFileReading reading = readParameterFile(*cl.paramsFile, record);
        if (!reading.complete()) throw CalcError(reading.error);
    }
    if (cl.recordFile) record = readRunRecord(*cl.recordFile);
    if (cl.sample) applySampleSet(record, kSampleSets[static_cast<size_t>(*cl.sample)]);
    for (const auto& edit : cl.edits) edit(record);
}

InputRecord buildRecord(const CommandLine& cl) {
    InputRecord record = startupRecord();
    applyToRecord(cl, record);
    return record;
}

int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    CommandLine cl;
    try {
        cl = parseCommandLine(args);
    } catch (const UsageError& e) {
        // The options could not be read, but one that asks for the JSON report still gets it.
        const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
        return notStarted(json, out, err, e.what(),
                          "emforce-cli: " + std::string(e.what()) + " (try --help)", kExitUsage);
    }
    switch (cl.mode) {
        case CommandLine::Mode::Help:
            out << usageText();
            return reported(out, err, kExitComplete);
        case CommandLine::Mode::Version:
            out << "emforce-cli " << EMFORCE_VERSION << '\n';
            return reported(out, err, kExitComplete);
        case CommandLine::Mode::ListSamples:
            for (const SampleSet& set : kSampleSets) out << set.caption << '\n';
            return reported(out, err, kExitComplete);
        case CommandLine::Mode::Run: break;
    }
    InputRecord record;
    try {
        record = buildRecord(cl);
    } catch (const CalcError& e) {
        return notStarted(cl.json, out, err, e.what(), e.what(), kExitAbandoned);
    }
    const InputRecord inputs = record;  // the run writes the x cell and the point count back
    const auto model = std::make_unique<Model>();
    CapturingObserver run(err);
    RunOptions options;
    options.threads = cl.threads;
    options.literal = cl.literal;
    RunOutcome outcome;
    try {
        outcome = runCalculation(*model, record, run, options);
    } catch (const ExitRequested&) {
        return kExitAbandoned;
    }
    if (!outcome.complete) err << outcome.message << '\n';
    // The files come first, so that the JSON report can carry a file's failure as its error.
    RunOutcome shown = outcome;
    try {
        writeOutputs(cl, inputs, record, run, *model);
    } catch (const CalcError& e) {
        err << e.what() << '\n';
        if (shown.complete) {
            shown.complete = false;
            shown.message = e.what();
        }
    }
    if (cl.json)
        writeJsonReport(out, run, shown, *model,
                        NumericChoices{inputs.besselFunctions, inputs.formulation});
    else
        writeTextReport(out, run, outcome);
    return reported(out, err, shown.complete ? kExitComplete : kExitAbandoned);
}

}  // namespace emforce::cli
