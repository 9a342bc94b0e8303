// What the batch dialog reads from the command line's progress lines and
// says about them.
#pragma once

#include <string>
#include <string_view>

// A "fertig I/N" line (as kelvora-cli --batch --progress-lines writes one
// per finished file): true with done = I and all = N.
bool ParseProgressLine(std::string_view line, int& done, int& all);

// "3 von 10 Dateien fertig, noch etwa 12 s": the time left from the time
// the files done so far took.
std::string BatchProgressText(int done, int all, double elapsedSeconds);
