// Printing a picture as the user lays it out: the print layout dialog, then
// one job on the program's printer. The result page's and the viewer's print
// buttons both run it.
#pragma once

#include "imagora/DibRecord.h"

class QWidget;

// Cancel prints nothing; a printer that cannot take the job is reported in
// a German message, and nothing else changes.
void PrintImage(QWidget* owner, const TDibRecord& dib);
