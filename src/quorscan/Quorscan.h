// The scanner library's calls as the main window makes them: choose a
// scanner, scan with the scanner's own dialog, and take the scanned picture
// when the message WM_USER + 1 arrives with its number.
#pragma once

#include "imagora/DibRecord.h"

#include <cstdint>
#include <string>

class QWidget;

// Lets the user choose the scanner for later scans; the choice is kept in the
// settings group "quorscan".
void TWAIN_SelectScanner(QWidget* window);

// Opens the chosen scanner (asking for one first when none was chosen) and
// shows its scan dialog. A finished scan is posted to window as WM_USER + 1
// with the number GetScanedDib takes.
void TWAIN_ScanImage(QWidget* window);

// Fills dib with the scanned picture of that number, which the caller then
// owns; a record without pixels when there is none (each picture is handed
// over once).
void GetScanedDib(TDibRecord* dib, std::intptr_t id);

// The scanner chosen last, as sane_open names it; empty when none.
std::string SelectedScanner();
