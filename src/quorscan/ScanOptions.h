// A scanner's own options as the backend describes them: what the scan
// dialog builds its controls from and what --scan-option NAME=WERT sets.
#pragma once

#include <sane/sane.h>

#include <string>
#include <utility>
#include <variant>
#include <vector>

struct ScanOption {
    int index = 0; // the backend's option number
    std::string name;
    std::string title;
    std::string description;
    std::string group; // title of the backend's group it stands in; empty before the first
    SANE_Value_Type type = SANE_TYPE_INT;
    SANE_Unit unit = SANE_UNIT_NONE;
    int size = 0; // bytes of the value
    SANE_Int cap = 0;
    SANE_Constraint_Type constraint = SANE_CONSTRAINT_NONE;
    double min = 0, max = 0, quant = 0; // a range; fixed-point values as plain numbers
    std::vector<double> words;          // a word list
    std::vector<std::string> strings;   // a string list

    bool Active() const { return SANE_OPTION_IS_ACTIVE(cap); }
    // Active, settable by software, and of a kind a user can set as one
    // value (a switch, a number, a text or a button; no arrays such as gamma
    // tables): what the dialog shows and the command line accepts.
    bool Shown() const;
};

// The device's options in the backend's order, without option 0 (the count)
// and the group headings, each with the title of its group.
std::vector<ScanOption> ReadScanOptions(SANE_Handle device);
const ScanOption* FindScanOption(const std::vector<ScanOption>& options, const std::string& name);

// Switches and numbers as numbers (fixed point unfixed), texts as text.
using ScanValue = std::variant<double, std::string>;

SANE_Status GetScanValue(SANE_Handle device, const ScanOption& option, ScanValue& value);
// info receives the backend's SANE_INFO_* flags (options or parameters to
// reload, value rounded). A button is pressed whatever the value.
SANE_Status SetScanValue(SANE_Handle device, const ScanOption& option, const ScanValue& value,
                         SANE_Int* info = nullptr);

// The value the option's constraint allows nearest to number.
double NearestAllowed(const ScanOption& option, double number);

// Reads text as a value of the option ("ja"/"nein" for switches, a decimal
// point or comma for fixed point, one of the listed texts in any case);
// false with a German message when the text is no such value.
bool ParseScanValue(const ScanOption& option, const std::string& text, ScanValue& value,
                    std::string& error);

// Sets "NAME=WERT" on the open device; false with a German message.
bool ApplyScanSetting(SANE_Handle device, const std::string& setting, std::string& error);

// A number as the user writes it: "300", "12.5".
std::string FormatScanNumber(double number);

// The options a user has set, each as its name and its value as text (as
// --scan-option takes it; numbers exact): what the scan dialog remembers of a
// device. Buttons and the preview switch are left out.
using ScanSettings = std::vector<std::pair<std::string, std::string>>;
ScanSettings ReadScanSettings(SANE_Handle device);

// Sets remembered values again, each option once, in the device's order of
// options, so that an option that another one brings (three-pass after the
// mode) comes after it. Values the device no longer offers, does not let the
// user set now, or refuses are skipped; their names are returned.
std::vector<std::string> RestoreScanSettings(SANE_Handle device, const ScanSettings& settings);
