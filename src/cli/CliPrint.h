// Printing from the command line: the layout the print dialog would show,
// onto a PDF file or a print queue, through the window's printing.
#pragma once

#include "imagora/DibRecord.h"
#include "io/PrintLayout.h"

#include <string>

struct CliSession;

enum class CliPrintTo { PdfFile, Queue };

// Prints the session's picture with its print layout; to a PDF file of one
// A4 portrait page, or to the named queue ("-": the default printer); 300
// dpi either way. False when nothing was printed, after a German message.
bool CliPrint(CliSession& session, CliPrintTo to, const std::string& target);

// The printing itself, in the device module (CliDevices.h).
bool PrintPictureForCli(const TDibRecord& dib, const PrintOptions& layout, CliPrintTo to,
                        const std::string& target);
