// Why a file gave no picture, told the user in German: OpenDib only says
// that it failed.
#pragma once

#include <string>

// A whole sentence naming the file: it is missing, a folder or no regular
// file, not to be read for lack of permission, empty, or no picture that can
// be read (unknown format, damaged, or too large).
std::string OpenDibFailure(const std::string& path);
