// SANE's own texts in German, whatever the user's locale: the backends'
// option titles, descriptions, values and group names through sane-backends'
// German catalogue, and the kinds of device. The values sent to a backend
// stay its own strings; only what the user reads is translated.
#pragma once

#include <string>

// The German text; a text the catalogue lacks stays as the backend wrote it.
std::string SaneGerman(const std::string& text);

// A device's kind as SANE reports it ("flatbed scanner"), in German.
std::string SaneDeviceType(const std::string& type);
