// What a SANE status means to the user, in German, with what to do about it.
#pragma once

#include <sane/sane.h>

#include <string>

// Empty for SANE_STATUS_GOOD.
std::string ScanStatusMessage(SANE_Status status);
