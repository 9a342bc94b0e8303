// The words of kelvora-cli: every step of the step table under its word,
// and the command line's own words (reports, settings, saving, printing).
// Every step runs through the same door as in the window.
#pragma once

#include "app/WorkingImage.h"
#include "io/PrintLayout.h"
#include "base/ProgressSink.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class RowFeed;

// What the words work on while the command line runs.
struct CliSession {
    WorkingImage image;               // the picture and its steps
    ProgressSink* progress = nullptr; // long operations report here
    std::FILE* out = nullptr;         // reports such as --info
    std::FILE* err = nullptr;         // the picks of --auto, as a recipe
    int jpegQuality = 0;              // 0: the source's, as the window saves
    PrintOptions printLayout;         // the print dialog's defaults unless --print-layout
    // Set by a word whose argument does not fit the picture (a crop beyond
    // its edges): the run then ends as for a bad argument.
    bool badArgument = false;
    // The rows of the picture still arriving from its file, when the command
    // line only saves it; null when the picture is all there.
    RowFeed* arriving = nullptr;
};

// A parsed word, ready to run. False when it failed; it has then said why
// through MessageBox.
using CliStep = std::function<bool(CliSession&)>;

struct CliOperation {
    std::string name;     // "--info"
    std::string argument; // its argument's shape in the help ("DATEI"), or "" for none
    std::string help;     // German, one or more lines
    // Settings (such as the JPEG quality) hold for the whole run wherever they
    // stand; they run before every other word.
    bool setting;
    // The word's action for the given argument ("" when none is taken); an
    // empty action and a German message in error when the argument is bad.
    std::function<CliStep(const std::string& argument, std::string& error)> parse;
    // It makes sense for every file of a batch (steps, recipes, settings),
    // not only for one run (reports, printing, a named output).
    bool batch = false;
};

// Every word, in the order of the help.
const std::vector<CliOperation>& CliOperations();

// The operation of that word, or nullptr.
const CliOperation* FindCliOperation(const std::string& name);
