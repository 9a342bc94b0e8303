// The operations of kelvora-cli, one table entry each (CliOperations.cpp): its
// option, the argument it takes and how that is parsed into a step. Every step
// runs the very function the window runs for the same command.
#pragma once

#include "imagora/DibRecord.h"
#include "imagora/Metadata.h"
#include "io/PrintLayout.h"
#include "toolkit/ProgressSink.h"

#include <cstdio>
#include <functional>
#include <span>
#include <string>

// What the steps work on while the command line runs.
struct CliSession {
    TDibRecord dib{};                 // the working picture; the session owns it
    ProgressSink* progress = nullptr; // long operations report here
    std::FILE* out = nullptr;         // reports such as --info
    int jpegQuality = 0;              // 0: the source's, as the window saves
    PictureMetadata metadata;         // what the input file carried, kept by -o
    PrintOptions printLayout;         // the print dialog's defaults unless --print-layout
    // Set by a step whose argument does not fit the picture (a crop beyond
    // its edges): the run then ends as for a bad argument.
    bool badArgument = false;
};

// A parsed operation, ready to run. False when it failed; it has then said
// why through MessageBox.
using CliStep = std::function<bool(CliSession&)>;

struct CliOperation {
    const char* name;     // "--info"
    const char* argument; // its argument's name in the help ("DATEI"), or "" for none
    const char* help;     // one line of German
    // Settings (such as the JPEG quality) hold for the whole run wherever they
    // stand; they run before every other step.
    bool setting;
    // The step for the given argument ("" when none is taken); an empty step
    // and a German message in error when the argument is bad.
    CliStep (*parse)(const std::string& argument, std::string& error);
};

std::span<const CliOperation> CliOperations();

// The operation of that option name, or nullptr.
const CliOperation* FindCliOperation(const std::string& name);
