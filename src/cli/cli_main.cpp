// emforce-cli: builds the input record from the options, runs one calculation and reports it.
#include "cli/cli_main.hpp"

#include <memory>
#include <sstream>

#include "cli/command_line.hpp"
#include "cli/run_report.hpp"
#include "files/data_file.hpp"
#include "files/parameter_file.hpp"
#include "run/calculation_run.hpp"
#include "model/sample_sets.hpp"
#include "numerics/fp_guard.hpp"

#ifndef EMFORCE_VERSION
#define EMFORCE_VERSION "unknown"
#endif

namespace emforce::cli {

namespace {

void writeOutputs(const CommandLine& cl, const InputRecord& record, const CapturingObserver& run,
                  const Model& model) {
    if (cl.csvFile) {
        // Replaced as a whole, like the other files: a failed write keeps the previous table.
        std::ostringstream csv;
        writeCsvReport(csv, run, record.domain);
        replaceFile(*cl.csvFile, csv.str());
    }
    if (cl.saveDataFile) writeDataFile(*cl.saveDataFile, model.induction.curveX(), model.induction.curveY());
    if (cl.writeParamsFile) writeParameterFile(*cl.writeParamsFile, record);
}

// A report that did not reach its reader is no success, whatever the run did.
int reported(std::ostream& out, std::ostream& err, int status) {
    if (out.flush()) return status;
    err << kReportNotWritten << '\n';
    return kExitAbandoned;
}

}  // namespace

InputRecord buildRecord(const CommandLine& cl) {
    InputRecord record = startupRecord();
    if (cl.paramsFile) {
        const ParameterFileReading reading = readParameterFile(*cl.paramsFile, record);
        if (!reading.complete()) throw CalcError(reading.error);
    }
    if (cl.sample) applySampleSet(record, kSampleSets[static_cast<size_t>(*cl.sample)]);
    for (const auto& edit : cl.edits) edit(record);
    return record;
}

int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    CommandLine cl;
    try {
        cl = parseCommandLine(args);
    } catch (const UsageError& e) {
        err << "emforce-cli: " << e.what() << " (try --help)\n";
        return kExitUsage;
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
    try {
        InputRecord record = buildRecord(cl);
        const auto model = std::make_unique<Model>();
        CapturingObserver run(err);
        RunOptions options;
        options.threads = cl.threads;
        options.literal = cl.literal;
        const RunOutcome outcome = runCalculation(*model, record, run, options);
        if (cl.json)
            writeJsonReport(out, run, outcome, *model, record);
        else
            writeTextReport(out, run, outcome);
        writeOutputs(cl, record, run, *model);
        if (!outcome.complete) err << outcome.message << '\n';
        return reported(out, err, outcome.complete ? kExitComplete : kExitAbandoned);
    } catch (const CalcError& e) {
        err << e.what() << '\n';
        return kExitAbandoned;
    } catch (const ExitRequested&) {
        return kExitAbandoned;
    }
}

}  // namespace emforce::cli
