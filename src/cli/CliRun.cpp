#include "cli/CliRun.h"

#include "cli/BatchRun.h"
#include "cli/CliOperations.h"
#include "cli/CliScan.h"
#include "cli/TerminalProgress.h"
#include "imagora/DibWriter.h"
#include "imagora/FileFilter.h"
#include "imagora/Imagora.h"
#include "imagora/OpenDibFailure.h"
#include "imagora/OpenDibStreamed.h"
#include "imagora/RowFeed.h"
#include "toolkit/MessageBox.h"

#include <ctime>
#include <utility>

#include <unistd.h>

namespace {

// The descriptions of a filter's entries, comma-separated, from entry first on.
std::string FilterDescriptions(const char* filter, std::size_t first)
{
    std::string list;
    const std::vector<FilterEntry> entries = ParseFileFilter(filter);
    for (std::size_t i = first; i < entries.size(); ++i)
        list += (list.empty() ? "" : ", ") + entries[i].description;
    return list;
}

void PrintUsage(std::FILE* to)
{
    std::fprintf(to, "Aufruf: kelvora-cli EINGABE [Operationen] -o AUSGABE\n\n"
                     "Öffnet EINGABE, führt die Operationen in der angegebenen Reihenfolge aus\n"
                     "und speichert mit -o das Ergebnis. Operationen dürfen auch vor EINGABE\n"
                     "stehen; nach -- folgt nur noch EINGABE, auch wenn sie mit - beginnt.\n\n"
                     "Operationen:\n");
    for (const CliOperation& op : CliOperations()) {
        const std::string option = op.name + (op.argument.empty() ? "" : " ") + op.argument;
        // a long option or a help of several lines starts on a line of its own
        std::string help = op.help;
        for (std::size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at))
            help.replace(at, 1, "\n" + std::string(19, ' ')), at += 20;
        if (option.size() > 16 || help != op.help)
            std::fprintf(to, "  %s\n  %-16s %s\n", option.c_str(), "", help.c_str());
        else
            std::fprintf(to, "  %-16s %s\n", option.c_str(), help.c_str());
    }
    std::fprintf(to, "  %-16s %s\n  %-16s %s\n\nLesbare Formate: %s\nSpeicherbare Formate: %s\n",
                 "--help", "zeigt diese Hilfe", "--version", "zeigt die Version",
                 FilterDescriptions(GetDIBOpenFilter(), 1).c_str(),
                 FilterDescriptions(GetDIBSaveFilter(), 0).c_str());
    PrintScanUsage(to);
    PrintBatchUsage(to);
}

// Routes message boxes to err for the run's length, taking the progress bar
// off the line first.
class MessagesToStream {
public:
    MessagesToStream(std::FILE* err, TerminalProgress& bar)
    {
        previous_ = SetMessageBoxHandler([err, &bar](const MessageBoxRequest& r) {
            bar.Clear();
            std::fprintf(err, "kelvora-cli: %s\n", r.text.c_str());
            return IDOK;
        });
    }
    ~MessagesToStream() { SetMessageBoxHandler(std::move(previous_)); }

private:
    MessageBoxHandler previous_;
};

struct ParsedLine {
    std::vector<std::string> inputs;
    std::vector<std::string> words; // the operations and their arguments, as given
    std::vector<CliStep> steps;     // settings first
    bool onlySaves = true;          // every word but the settings is -o
};

// The input is the one argument that is neither an operation nor an
// operation's argument; operations may stand before and after it. A batch
// takes many inputs, and only operations that make sense for each of them.
bool Parse(const std::vector<std::string>& args, bool batch, ParsedLine& line, std::string& error)
{
    std::vector<CliStep> settings, steps;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            if (!batch && !line.inputs.empty()) {
                error = "Nur eine Eingabedatei: „" + line.inputs[0] + "“ und „" + a +
                        "“ sind zwei (siehe --help).";
                return false;
            }
            line.inputs.push_back(a);
            continue;
        }
        const CliOperation* op = FindCliOperation(a);
        if (!op) {
            error = "Unbekannte Operation „" + a + "“ (siehe --help).";
            return false;
        }
        if (batch && !op->batch) {
            error = a + " passt nicht zu --batch: jede Datei bekommt die Schritte, --recipe und "
                        "--quality, ihr Ergebnis landet in --out-dir (siehe --help).";
            return false;
        }
        line.words.push_back(a);
        std::string argument;
        if (!op->argument.empty()) {
            if (i + 1 == args.size()) {
                error = std::string(op->name) + " braucht ein Argument: " + op->argument + ".";
                return false;
            }
            argument = args[++i];
            line.words.push_back(argument);
        }
        CliStep step = op->parse(argument, error);
        if (!step)
            return false;
        (op->setting ? settings : steps).push_back(std::move(step));
        line.onlySaves = line.onlySaves && (op->setting || op->name == "-o");
    }
    if (line.inputs.empty()) {
        error = batch ? "Keine Eingabe angegeben: Dateien oder Ordner (siehe --help)."
                      : "Keine Eingabedatei angegeben (siehe --help).";
        return false;
    }
    if (steps.empty() && !batch) {
        error = "Keine Operation angegeben; mit -o DATEI wird gespeichert (siehe --help).";
        return false;
    }
    line.steps = std::move(settings);
    for (CliStep& s : steps)
        line.steps.push_back(std::move(s));
    return true;
}

} // namespace

int RunCli(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err)
{
    std::vector<std::string> args = arguments;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            PrintUsage(out);
            return kCliOk;
        }
        if (a == "--version") {
            std::fprintf(out, "kelvora-cli %s\n", KELVORA_VERSION);
            return kCliOk;
        }
    }
    if (args.empty()) {
        PrintUsage(err);
        return kCliUsage;
    }
    TerminalProgress bar(err);
    NullProgress silent;
    MessagesToStream messages(err, bar);

    ParsedLine line;
    std::string error;
    BatchRequest batch;
    if (!TakeBatchArguments(args, batch, error)) {
        MessageBox(error, {}, MB_OK | MB_ICONERROR);
        return kCliUsage;
    }
    ProgressSink& progress = isatty(fileno(err)) ? static_cast<ProgressSink&>(bar) : silent;
    if (batch.on) {
        if (!Parse(args, true, line, error)) {
            MessageBox(error, {}, MB_OK | MB_ICONERROR);
            return kCliUsage;
        }
        const int result = RunBatch(batch, line.inputs, line.words, progress, out, err);
        bar.Clear();
        return result;
    }
    CliScanRequest scan;
    if (!TakeScanArguments(args, scan, error)) {
        MessageBox(error, {}, MB_OK | MB_ICONERROR);
        return kCliUsage;
    }
    if (scan.list)
        return ListScannersForCli(out);
    if (!Parse(args, false, line, error)) {
        MessageBox(error, {}, MB_OK | MB_ICONERROR);
        return kCliUsage;
    }

    CliSession session;
    session.image.SetHistoryBudget(0); // the command line never goes back
    session.progress = &progress;
    session.out = out;
    session.err = err;
    TDibRecord input;
    RowFeed arriving; // ends before the session frees the picture its work fills
    if (scan.scan) {
        if (!ScanForCli(scan, input, *session.progress))
            return kCliFailed;
        session.image.InstallScanned(input, scan.device, std::time(nullptr));
    } else {
        const std::string& path = line.inputs[0];
        // A picture only saved again is written while it is still being read.
        if (line.onlySaves)
            OpenDibStreamed(&input, path.c_str(), arriving);
        else
            OpenDib(&input, path.c_str(), 0, nullptr);
        if (!input.Bits) {
            MessageBox(OpenDibFailure(path), {}, MB_OK | MB_ICONERROR);
            return kCliFailed;
        }
        // Nothing here compares the picture with its file later, so no
        // fingerprint of it is taken.
        session.image.InstallForSaving(input, path);
        if (line.onlySaves)
            session.arriving = &arriving; // only a file that opened has rows worth waiting for
    }
    int result = kCliOk;
    for (const CliStep& step : line.steps) {
        if (!step(session)) {
            result = session.badArgument ? kCliUsage : kCliFailed;
            break;
        }
    }
    bar.Clear();
    return result;
}
