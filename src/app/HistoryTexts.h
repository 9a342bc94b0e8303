// What the undo and redo buttons and the result page's list say about the
// history, in German words from the step table.
#pragma once

#include "app/History.h"

#include <string>
#include <vector>

// The step an undo would take back, or that there is none.
std::string UndoHint(const History& history);
// The step a redo would apply again, or that there is none.
std::string RedoHint(const History& history);
// One line per state, the first the picture opened: the step that made it.
std::vector<std::string> HistoryLines(const History& history);
