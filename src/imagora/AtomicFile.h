// Replacing a file so that it is at every moment either the old file or the
// complete new one: a save that fails half-way never costs the user a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes data into a temporary file beside path, flushes it to the disk and
// renames it over path. An existing file keeps its permissions; a symbolic
// link stays and the file it points to is replaced. On failure the temporary
// is removed, path is untouched and reason holds a German explanation.
bool ReplaceFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                           std::string& reason);

// A German explanation of a system error number, for messages to the user.
std::string SystemErrorText(int error);
