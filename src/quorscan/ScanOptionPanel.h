// The controls of a scanner's own options, grouped as the backend groups
// them. Only options a user can set now are shown (inactive ones and arrays
// such as gamma tables are left out); each control is named after its option.
#pragma once

#include "quorscan/ScanOptions.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QWidget;

// A backend's text in German where SANE has a translation.
QString SaneText(const std::string& text);

using OptionChanged = std::function<void(const ScanOption& option, const ScanValue& value)>;

// A panel with a box per group; changed runs when the user sets a value.
QWidget* BuildOptionPanel(SANE_Handle device, const std::vector<ScanOption>& options,
                          const OptionChanged& changed, QWidget* parent);
