// What a batch does, decided before anything runs: its options, which files
// it takes, the name each is written under, and the slice a shard takes.
//   kelvora-cli --batch --out-dir DIR [--jobs N] [--shard I/N] [--skip-existing]
//               [--format EXT] [--progress-lines] [Operationen] EINGABE...
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The index-th of count slices of a batch, from 1.
struct Shard {
    int index = 1;
    int count = 1;
};

struct BatchRequest {
    bool on = false; // --batch
    std::string outDir;
    std::string format; // an extension without its dot; empty: each input's own
    int jobs = 0;       // files at once; 0: one per core
    Shard shard;
    bool skipExisting = false;
    // --progress-lines: "fertig I/N" on standard output as each file ends,
    // for a program that runs the batch and shows its progress.
    bool progressLines = false;
};

// Takes the batch options out of args, wherever they stand before "--".
// False with a German message when one is malformed, or when one is given
// without --batch or --batch without --out-dir.
bool TakeBatchArguments(std::vector<std::string>& args, BatchRequest& request, std::string& error);

// "I/N" with 1 <= I <= N; false with a German message.
bool ParseShard(std::string_view text, Shard& shard, std::string& error);

// The items [first, last) of count that the shard takes: contiguous slices
// whose sizes differ by one at most, disjoint, together all of them.
std::pair<std::size_t, std::size_t> ShardRange(std::size_t count, Shard shard);

// The name an input gets in the output folder: its own, in its format unless
// format names another; a format that is read but not written (GIF, WebP) or
// none at all becomes PNG ("name.png").
std::string OutputName(const std::string& input, const std::string& format);

// The inputs as files, sorted by path, each once: a folder stands for the
// picture files in it (not in its subfolders; hidden files left out).
std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs);

struct BatchItem {
    std::string input;
    std::string output;
};

// Each file with its output in outDir. False with a German message when an
// output would be an input (the same path, a link to it, or the same file
// under another name) or two inputs would be written to one output.
bool PlanOutputs(const std::vector<std::string>& files, const std::string& outDir,
                 const std::string& format, std::vector<BatchItem>& items, std::string& error);
