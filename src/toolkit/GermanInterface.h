// The interface speaks German whatever the system's language: Qt's own texts
// (dialog buttons, file types, context menus) from Qt's German translations,
// numbers, dates and file type names in German form.
#pragma once

#include <QtGlobal>

class QCoreApplication;
class QDateTime;
class QFileDialog;
class QString;

// False when Qt's German translations are not installed (Debian:
// qt6-translations-l10n); the interface then keeps Qt's English texts.
bool InstallGermanInterface(QCoreApplication& application);

// A file's size and time as the program's file lists show them: "1,2 KB",
// "10.12.26 14:05".
QString GermanFileSize(qint64 bytes);
QString GermanFileTime(const QDateTime& time);

// Sizes and dates in a file dialog's list in German form: Qt's file model
// writes them in the system's form, whatever the program's language.
void UseGermanFileDetails(QFileDialog& dialog);
