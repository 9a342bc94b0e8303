#include "cli/BatchRun.h"

#include "cli/CliRun.h"
#include "imagora/AtomicFile.h"
#include "toolkit/MessageBox.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The cores this process may run on (a job scheduler may grant fewer than
// the machine has).
int AvailableCores()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

// The environment of the jobs: each one's passes share the cores with the
// other jobs, unless the user holds the threads to a number already.
std::vector<std::string> JobEnvironment(int threads)
{
    std::vector<std::string> variables;
    bool told = false;
    for (char** e = environ; *e; ++e) {
        variables.emplace_back(*e);
        told = told || variables.back().starts_with("KELVORA_THREADS=");
    }
    if (!told)
        variables.push_back("KELVORA_THREADS=" + std::to_string(threads));
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs this program on one item, its messages going to the file messages;
// the process id, or -1 with errno set.
pid_t StartJob(const std::vector<std::string>& words, const BatchItem& item,
               std::vector<char*>& environment, std::FILE* messages)
{
    std::vector<std::string> args = {"kelvora-cli"};
    args.insert(args.end(), words.begin(), words.end());
    args.insert(args.end(), {"-o", item.output, "--", item.input});
    std::vector<char*> argv = Pointers(args);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&files, fileno(messages), 2);
    pid_t pid = -1;
    const int failed =
        posix_spawn(&pid, "/proc/self/exe", &files, nullptr, argv.data(), environment.data());
    posix_spawn_file_actions_destroy(&files);
    if (failed) {
        errno = failed;
        return -1;
    }
    return pid;
}

// Why a job failed, on one line: its messages without the program's name,
// or how it ended.
std::string Reason(std::FILE* messages, int status)
{
    std::string text;
    std::rewind(messages);
    char line[4096];
    while (std::fgets(line, sizeof line, messages)) {
        std::string_view said(line);
        if (said.starts_with("kelvora-cli: "))
            said.remove_prefix(13);
        while (!said.empty() && (said.back() == '\n' || said.back() == ' '))
            said.remove_suffix(1);
        if (!said.empty())
            text += (text.empty() ? "" : " ") + std::string(said);
    }
    if (WIFSIGNALED(status))
        return text + (text.empty() ? "" : " ") + "(abgebrochen: " + strsignal(WTERMSIG(status)) +
               ")";
    return text.empty() ? "Exit-Code " + std::to_string(WEXITSTATUS(status)) : text;
}

struct Job {
    pid_t pid;
    const BatchItem* item;
    std::FILE* messages; // what it wrote to stderr
};

struct Failure {
    std::string input, reason;
};

struct Outcome {
    std::vector<Failure> failures; // in the order of the items
    std::size_t stopped = 0;       // items left undone when the batch was stopped
};

// Set by SIGTERM, SIGINT or SIGHUP while the jobs run: the batch stops.
volatile std::sig_atomic_t stopAsked = 0;

// Catches the signals that stop a batch, without restarting the wait they
// break into, for as long as it lives. A signal the batch was started to
// ignore (nohup, a background job) stays ignored.
class StopSignals {
public:
    StopSignals()
    {
        stopAsked = 0;
        struct sigaction action {};
        action.sa_handler = [](int) { stopAsked = 1; };
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            ::sigaction(kSignals[i], nullptr, &previous_[i]);
            if (previous_[i].sa_handler != SIG_IGN)
                ::sigaction(kSignals[i], &action, nullptr);
        }
    }
    ~StopSignals()
    {
        for (std::size_t i = 0; i < std::size(kSignals); ++i)
            ::sigaction(kSignals[i], &previous_[i], nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    struct sigaction previous_[std::size(kSignals)]{};
};

// Runs every item, jobs of them at once, telling "fertig I/N" on lines (when
// given) as each ends. A stop signal ends the running jobs and removes what
// they had begun to write; the items not finished are counted as stopped.
Outcome RunJobs(const std::vector<const BatchItem*>& todo, const std::vector<std::string>& words,
                int jobs, ProgressSink& progress, std::FILE* lines)
{
    std::vector<std::string> variables = JobEnvironment(std::max(1, AvailableCores() / jobs));
    std::vector<char*> environment = Pointers(variables);
    const StopSignals signals;
    std::vector<Job> running;
    std::vector<std::pair<const BatchItem*, std::string>> failed;
    std::size_t next = 0, done = 0;
    bool stopping = false;
    const auto finish = [&](const BatchItem* item, const std::string& reason) {
        if (!reason.empty())
            failed.emplace_back(item, reason);
        progress.SetProStatus(int(++done * 100 / todo.size()));
        if (lines) {
            std::fprintf(lines, "fertig %zu/%zu\n", done, todo.size());
            std::fflush(lines);
        }
    };
    progress.SetProStatus(0);
    while ((next < todo.size() && !stopAsked) || !running.empty()) {
        if (stopAsked && !stopping) {
            stopping = true;
            for (const Job& job : running)
                ::kill(job.pid, SIGKILL);
        }
        while (running.size() < std::size_t(jobs) && next < todo.size() && !stopAsked) {
            const BatchItem* item = todo[next++];
            std::FILE* messages = std::tmpfile();
            const pid_t pid = messages && ::fcntl(fileno(messages), F_SETFD, FD_CLOEXEC) == 0
                                  ? StartJob(words, *item, environment, messages)
                                  : -1;
            if (pid < 0) {
                finish(item, std::string("konnte nicht gestartet werden: ") + std::strerror(errno));
                if (messages)
                    std::fclose(messages);
                continue;
            }
            running.push_back({pid, item, messages});
        }
        if (running.empty())
            continue;
        int status = 0;
        const pid_t ended = ::waitpid(-1, &status, 0);
        if (ended < 0 && errno == EINTR)
            continue;
        // (No child to wait for cannot happen while jobs run; should it, they are lost.)
        const bool lost = ended < 0;
        const auto job = std::find_if(running.begin(), running.end(),
                                      [&](const Job& j) { return j.pid == ended || lost; });
        if (job == running.end())
            continue;
        const bool ok = !lost && WIFEXITED(status) && WEXITSTATUS(status) == kCliOk;
        if (stopping && !ok && !lost) {
            RemoveTemporaries(job->item->output, job->pid);
        } else {
            finish(job->item,
                   lost ? std::string("Der Prozess ging verloren: ") + std::strerror(errno)
                   : ok ? std::string()
                        : Reason(job->messages, status));
        }
        std::fclose(job->messages);
        running.erase(job);
    }
    progress.SetProStatus(0);
    std::sort(failed.begin(), failed.end());
    Outcome outcome;
    for (const auto& [item, reason] : failed)
        outcome.failures.push_back({item->input, reason});
    outcome.stopped = todo.size() - done;
    return outcome;
}

} // namespace

int RunBatch(const BatchRequest& request, const std::vector<std::string>& inputs,
             const std::vector<std::string>& words, ProgressSink& progress, std::FILE* out,
             std::FILE* err)
{
    std::vector<BatchItem> items;
    std::string error;
    if (!PlanOutputs(ExpandInputs(inputs), request.outDir, request.format, items, error)) {
        MessageBox(error, {}, MB_OK | MB_ICONERROR);
        return kCliUsage;
    }
    std::error_code ec;
    if (!fs::is_directory(request.outDir, ec)) {
        const bool file = fs::exists(request.outDir, ec);
        if (!file)
            fs::create_directories(request.outDir, ec);
        if (file || ec) {
            MessageBox("Der Ordner „" + request.outDir + "“ kann nicht angelegt werden: " +
                           (file ? "Unter diesem Namen gibt es bereits eine Datei."
                                 : SystemErrorText(ec.value())),
                       {}, MB_OK | MB_ICONERROR);
            return kCliFailed;
        }
    }
    const auto [first, last] = ShardRange(items.size(), request.shard);
    std::vector<const BatchItem*> todo;
    std::size_t skipped = 0;
    for (std::size_t i = first; i < last; ++i) {
        if (request.skipExisting && fs::exists(items[i].output, ec))
            ++skipped;
        else
            todo.push_back(&items[i]);
    }
    const int jobs = std::clamp(request.jobs ? request.jobs : AvailableCores(), 1,
                                std::max(1, int(todo.size())));
    const Outcome outcome =
        RunJobs(todo, words, jobs, progress, request.progressLines ? out : nullptr);
    const std::vector<Failure>& failures = outcome.failures;
    std::fprintf(out, "%zu bearbeitet, %zu übersprungen, %zu fehlgeschlagen\n",
                 todo.size() - outcome.stopped - failures.size(), skipped, failures.size());
    std::fflush(out);
    for (const Failure& f : failures)
        std::fprintf(err, "kelvora-cli: %s: %s\n", f.input.c_str(), f.reason.c_str());
    if (outcome.stopped)
        std::fprintf(err, "kelvora-cli: Abgebrochen: %zu %s nicht bearbeitet.\n", outcome.stopped,
                     outcome.stopped == 1 ? "Datei wurde" : "Dateien wurden");
    return failures.empty() && !outcome.stopped ? kCliOk : kCliFailed;
}

void PrintBatchUsage(std::FILE* to)
{
    std::fprintf(
        to,
        "\nViele Dateien auf einmal:\n"
        "  kelvora-cli --batch --out-dir ORDNER [--jobs N] [--shard I/N] [--skip-existing]\n"
        "              [--format ENDUNG] [--progress-lines] [Operationen] EINGABE...\n"
        "  Jede EINGABE (ein Ordner steht für seine Bilddateien) wird geöffnet, bearbeitet und\n"
        "  unter ihrem Namen in ORDNER geschrieben, im eigenen Format (GIF und WebP als PNG);\n"
        "  eine Eingabe wird nie überschrieben. Operationen sind hier Schritte, --recipe und\n"
        "  --quality.\n"
        "  %-16s %s\n  %-16s %s\n  %-16s %s\n  %-16s %s\n  %-16s %s\n"
        "  Ein Signal zum Beenden (Strg+C, SIGTERM) hält die laufenden Dateien an, entfernt\n"
        "  ihre halb geschriebenen Ergebnisse und zählt sie als nicht bearbeitet.\n",
        "--jobs N", "so viele Dateien gleichzeitig (Vorgabe: einer je Prozessorkern)",
        "--shard I/N", "nur den I-ten von N Teilen der nach Pfad sortierten Eingaben",
        "--skip-existing", "lässt Ergebnisse, die es schon gibt, und bearbeitet den Rest",
        "--format ENDUNG", "schreibt alle Ergebnisse in diesem Format (etwa png, jpg)",
        "--progress-lines", "meldet jede fertige Datei als Zeile „fertig I/N“ auf der Ausgabe");
}
