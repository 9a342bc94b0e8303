// The result page's list of the steps since the picture was opened.
#pragma once

#include <string>
#include <vector>

class QListWidget;
class QWidget;

QListWidget* MakeHistoryList(QWidget* parent);

// Shows one line per state; the current one is selected and bold, the ones
// after it, which a redo brings back, grey.
void ShowHistoryList(QListWidget* list, const std::vector<std::string>& lines, int current);
