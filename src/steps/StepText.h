// Steps as words: the command line's argument of a step parsed and written
// back, and the help made from the same declarations.
#pragma once

#include "steps/StepTable.h"

#include <string>
#include <string_view>

// The step that row's argument stands for; false with a German message in
// error that names the word, the parameter, its range and its default.
bool ParseStep(const StepRow& row, std::string_view argument, Step& step, std::string& error);

// One parameter's value from its text; false with a German message in error
// ("STUFE muss eine ganze Zahl von -4 bis 4 sein, nicht „7“").
bool ParseParamValue(const StepParam& p, std::string_view text, int& value, std::string& error);

// The argument that parses back to step ("100,50,1100,750@1200x800"), and
// the whole command-line words ("--crop 100,50,1100,750@1200x800").
std::string FormatStepArgument(const Step& step);
std::string FormatStep(const Step& step);

// What the row's argument looks like ("MODUS:STUFE[:INTENSITÄT]"), and each
// parameter's values ("STUFE -4 bis 4; INTENSITÄT 1 bis 25, Vorgabe 8").
std::string StepSynopsis(const StepRow& row);
std::string StepParamsExplained(const StepRow& row);

// A number in hundredths as the German decimal it stands for ("12,5").
std::string HundredthsText(int hundredths);
