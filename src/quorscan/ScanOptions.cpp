#include "quorscan/ScanOptions.h"

#include "quorscan/ScanStatus.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double FromWord(SANE_Value_Type type, SANE_Word w)
{
    return type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w);
}

SANE_Word ToWord(SANE_Value_Type type, double v)
{
    return type == SANE_TYPE_FIXED ? SANE_Word(SANE_FIX(v)) : SANE_Word(std::lround(v));
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string AllowedValues(const ScanOption& o)
{
    std::string list;
    if (o.constraint == SANE_CONSTRAINT_STRING_LIST)
        for (const std::string& s : o.strings)
            list += (list.empty() ? "" : ", ") + s;
    else if (o.constraint == SANE_CONSTRAINT_WORD_LIST)
        for (double w : o.words)
            list += (list.empty() ? "" : ", ") + FormatScanNumber(w);
    else if (o.constraint == SANE_CONSTRAINT_RANGE)
        list = FormatScanNumber(o.min) + " bis " + FormatScanNumber(o.max);
    return list;
}

// Kept by the scan dialog: a fixed-point value such as 215.899993896484375
// must come back exactly, or it would lie outside its range.
std::string ExactNumber(double v)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    return std::string(text, end);
}

// An option whose value a user sets and the dialog remembers.
bool Remembered(const ScanOption& o)
{
    return o.Shown() && o.type != SANE_TYPE_BUTTON && !o.name.empty() && o.name != "preview";
}

bool ParseNumber(std::string text, double& v)
{
    std::replace(text.begin(), text.end(), ',', '.');
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && std::isfinite(v);
}

} // namespace

bool ScanOption::Shown() const
{
    if (!Active() || !SANE_OPTION_IS_SETTABLE(cap))
        return false;
    switch (type) {
    case SANE_TYPE_BOOL:
    case SANE_TYPE_STRING:
    case SANE_TYPE_BUTTON:
        return true;
    case SANE_TYPE_INT:
    case SANE_TYPE_FIXED:
        return size == int(sizeof(SANE_Word));
    default:
        return false;
    }
}

std::vector<ScanOption> ReadScanOptions(SANE_Handle device)
{
    std::vector<ScanOption> options;
    SANE_Int count = 0;
    if (sane_control_option(device, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return options;
    std::string group;
    for (int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(device, i);
        if (!d)
            continue;
        if (d->type == SANE_TYPE_GROUP) {
            group = d->title ? d->title : "";
            continue;
        }
        ScanOption o;
        o.index = i;
        o.name = d->name ? d->name : "";
        o.title = d->title ? d->title : o.name;
        o.description = d->desc ? d->desc : "";
        o.group = group;
        o.type = d->type;
        o.unit = d->unit;
        o.size = d->size;
        o.cap = d->cap;
        o.constraint = d->constraint_type;
        if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
            o.min = FromWord(d->type, d->constraint.range->min);
            o.max = FromWord(d->type, d->constraint.range->max);
            o.quant = FromWord(d->type, d->constraint.range->quant);
        } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
            for (int w = 1; w <= d->constraint.word_list[0]; ++w)
                o.words.push_back(FromWord(d->type, d->constraint.word_list[w]));
        } else if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST && d->constraint.string_list) {
            for (int s = 0; d->constraint.string_list[s]; ++s)
                o.strings.emplace_back(d->constraint.string_list[s]);
        }
        options.push_back(std::move(o));
    }
    return options;
}

const ScanOption* FindScanOption(const std::vector<ScanOption>& options, const std::string& name)
{
    for (const ScanOption& o : options)
        if (o.name == name)
            return &o;
    return nullptr;
}

SANE_Status GetScanValue(SANE_Handle device, const ScanOption& option, ScanValue& value)
{
    if (option.type == SANE_TYPE_STRING) {
        std::vector<char> text(std::size_t(std::max(option.size, 1)) + 1, '\0');
        const SANE_Status s =
            sane_control_option(device, option.index, SANE_ACTION_GET_VALUE, text.data(), nullptr);
        value = std::string(text.data());
        return s;
    }
    if (option.type == SANE_TYPE_BUTTON) {
        value = 0.0;
        return SANE_STATUS_GOOD;
    }
    // Arrays are read whole; the first element stands for them.
    std::vector<SANE_Word> words(
        std::max<std::size_t>(1, std::size_t(option.size) / sizeof(SANE_Word)));
    const SANE_Status s =
        sane_control_option(device, option.index, SANE_ACTION_GET_VALUE, words.data(), nullptr);
    value = FromWord(option.type, words[0]);
    return s;
}

SANE_Status SetScanValue(SANE_Handle device, const ScanOption& option, const ScanValue& value,
                         SANE_Int* info)
{
    SANE_Int flags = 0;
    SANE_Status s;
    if (option.type == SANE_TYPE_BUTTON) {
        s = sane_control_option(device, option.index, SANE_ACTION_SET_VALUE, nullptr, &flags);
    } else if (option.type == SANE_TYPE_STRING) {
        std::string text = std::holds_alternative<std::string>(value) ? std::get<std::string>(value)
                                                                      : std::string();
        std::vector<char> buffer(std::size_t(std::max<int>(option.size, int(text.size()) + 1)),
                                 '\0');
        std::copy(text.begin(), text.end(), buffer.begin());
        s = sane_control_option(device, option.index, SANE_ACTION_SET_VALUE, buffer.data(), &flags);
    } else {
        const double number = std::holds_alternative<double>(value) ? std::get<double>(value) : 0;
        SANE_Word word = option.type == SANE_TYPE_BOOL ? (number != 0 ? SANE_TRUE : SANE_FALSE)
                                                       : ToWord(option.type, number);
        s = sane_control_option(device, option.index, SANE_ACTION_SET_VALUE, &word, &flags);
    }
    if (info)
        *info = flags;
    return s;
}

double NearestAllowed(const ScanOption& option, double number)
{
    if (option.constraint == SANE_CONSTRAINT_RANGE) {
        double v = std::clamp(number, option.min, option.max);
        if (option.quant > 0)
            v = std::min(option.max,
                         option.min + std::round((v - option.min) / option.quant) * option.quant);
        return v;
    }
    if (option.constraint == SANE_CONSTRAINT_WORD_LIST && !option.words.empty()) {
        double best = option.words.front();
        for (double w : option.words)
            if (std::abs(w - number) < std::abs(best - number))
                best = w;
        return best;
    }
    return number;
}

bool ParseScanValue(const ScanOption& option, const std::string& text, ScanValue& value,
                    std::string& error)
{
    const std::string quoted = "„" + text + "“";
    const std::string what = "Die Einstellung „" + option.name + "“";
    switch (option.type) {
    case SANE_TYPE_BOOL: {
        const std::string t = Lower(text);
        if (t == "ja" || t == "yes" || t == "true" || t == "1" || t == "an" || t == "on")
            value = 1.0;
        else if (t == "nein" || t == "no" || t == "false" || t == "0" || t == "aus" || t == "off")
            value = 0.0;
        else {
            error = what + " ist ein Schalter: ja oder nein, nicht " + quoted + ".";
            return false;
        }
        return true;
    }
    case SANE_TYPE_INT:
    case SANE_TYPE_FIXED: {
        double v = 0;
        if (!ParseNumber(text, v) || (option.type == SANE_TYPE_INT && v != std::floor(v))) {
            error = what + " braucht eine " +
                    (option.type == SANE_TYPE_INT ? "ganze Zahl" : "Zahl") + ", nicht " + quoted +
                    ".";
            return false;
        }
        const bool inRange =
            option.constraint != SANE_CONSTRAINT_RANGE || (v >= option.min && v <= option.max);
        const bool listed = option.constraint != SANE_CONSTRAINT_WORD_LIST ||
                            std::any_of(option.words.begin(), option.words.end(),
                                        [v](double w) { return std::abs(w - v) < 1e-4; });
        if (!inRange || !listed) {
            error = what + " erlaubt " + AllowedValues(option) + ", nicht " + quoted + ".";
            return false;
        }
        value = v;
        return true;
    }
    case SANE_TYPE_STRING:
        if (option.constraint == SANE_CONSTRAINT_STRING_LIST) {
            for (const std::string& s : option.strings)
                if (Lower(s) == Lower(text)) {
                    value = s;
                    return true;
                }
            error = what + " erlaubt " + AllowedValues(option) + ", nicht " + quoted + ".";
            return false;
        }
        value = text;
        return true;
    case SANE_TYPE_BUTTON:
        value = 0.0;
        return true;
    default:
        error = what + " lässt sich nicht einstellen.";
        return false;
    }
}

bool ApplyScanSetting(SANE_Handle device, const std::string& setting, std::string& error)
{
    const std::size_t eq = setting.find('=');
    if (eq == std::string::npos || eq == 0) {
        error = "Eine Scanner-Einstellung wird als NAME=WERT angegeben, nicht „" + setting + "“.";
        return false;
    }
    const std::string name = setting.substr(0, eq);
    const std::vector<ScanOption> options = ReadScanOptions(device);
    const ScanOption* option = FindScanOption(options, name);
    if (!option) {
        error = "Der Scanner kennt keine Einstellung „" + name +
                "“ (eine Liste zeigt „scanimage --help -d GERÄT“).";
        return false;
    }
    if (!option->Shown()) {
        error = "Die Einstellung „" + name + "“ ist beim Scanner gerade nicht einstellbar" +
                (option->Active() ? "." : " (sie hängt von anderen Einstellungen ab).");
        return false;
    }
    ScanValue value;
    if (!ParseScanValue(*option, setting.substr(eq + 1), value, error))
        return false;
    const SANE_Status status = SetScanValue(device, *option, value);
    if (status != SANE_STATUS_GOOD) {
        error =
            "Die Einstellung „" + name + "“ wurde nicht übernommen: " + ScanStatusMessage(status);
        return false;
    }
    return true;
}

std::string FormatScanNumber(double number)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", number);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

ScanSettings ReadScanSettings(SANE_Handle device)
{
    ScanSettings settings;
    for (const ScanOption& o : ReadScanOptions(device)) {
        ScanValue v;
        if (!Remembered(o) || GetScanValue(device, o, v) != SANE_STATUS_GOOD)
            continue;
        settings.emplace_back(o.name, std::holds_alternative<std::string>(v)
                                          ? std::get<std::string>(v)
                                          : ExactNumber(std::get<double>(v)));
    }
    return settings;
}

std::vector<std::string> RestoreScanSettings(SANE_Handle device, const ScanSettings& settings)
{
    std::vector<std::string> skipped;
    std::vector<bool> tried(settings.size(), false);
    auto untried = [&](const std::string& name) {
        for (std::size_t i = 0; i < settings.size(); ++i)
            if (!tried[i] && settings[i].first == name)
                return i;
        return settings.size();
    };
    for (;;) {
        // Options come and go with each value set: the first one, in the
        // device's order as it is now, that has a value still to set.
        const std::vector<ScanOption> options = ReadScanOptions(device);
        const ScanOption* option = nullptr;
        std::size_t i = settings.size();
        for (const ScanOption& o : options)
            if (Remembered(o) && (i = untried(o.name)) < settings.size()) {
                option = &o;
                break;
            }
        if (!option)
            break;
        tried[i] = true;
        ScanValue value;
        std::string error;
        if (!ParseScanValue(*option, settings[i].second, value, error) ||
            SetScanValue(device, *option, value) != SANE_STATUS_GOOD)
            skipped.push_back(settings[i].first);
    }
    for (std::size_t i = 0; i < settings.size(); ++i)
        if (!tried[i])
            skipped.push_back(settings[i].first);
    return skipped;
}
