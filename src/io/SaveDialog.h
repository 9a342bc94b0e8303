// The save dialog of the result page: the writable formats, the file name's
// extension following the chosen format, and a German question before an
// existing file is replaced.
#pragma once

#include "imagora/DibRecord.h"

#include <string>

class QWidget;

// The file to save picture to, or "" when the user cancelled. suggested (may
// be empty) names the folder, the name and, by its extension, the format
// offered first; a name whose kind of file would not hold the picture whole
// is offered with one that does.
std::string AskSaveFileName(QWidget* parent, const std::string& suggested,
                            const TDibRecord& picture);
