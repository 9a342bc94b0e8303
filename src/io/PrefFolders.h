// The favourite folders: most recently used first, kept in folders.dat as
// CR LF terminated lines in the local 8-bit encoding.
#pragma once

#include <string>
#include <vector>

// Every line of the file in order, an empty line an empty entry; nothing is
// validated. A missing or unreadable file gives an empty list.
std::vector<std::string> ReadPrefFolders(const std::string& path);

// Writes every entry followed by CR LF, through a temporary file renamed over
// the old list, so a crash never leaves half a list; a list that is a
// symbolic link is written where the link points. Entries holding CR or LF
// (legal in folder names) would read back as other lines and are left out.
// False if it cannot.
bool WritePrefFolders(const std::string& path, const std::vector<std::string>& entries);

// The favourites file to read at start: dataFile once it exists. Until then a
// programFile left beside the program by an older version is copied to
// dataFile first, and read where it lies if it cannot be copied.
std::string TakeOverPrefFolders(const std::string& programFile, const std::string& dataFile);

// Moves folder to the top: the last entry equal to it (exact, case-sensitive)
// is removed, then folder is inserted first.
void PutPrefFolderFirst(std::vector<std::string>& entries, const std::string& folder);

// The folder the open page starts in: the folder of the file the program was
// started with, else the first favourite that exists (empty entries
// skipped), else the user's pictures folder, else home.
std::string StartFolder(const std::string& startFile, const std::vector<std::string>& favourites,
                        const std::string& pictures, const std::string& home);
