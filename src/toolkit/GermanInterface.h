// The interface speaks German whatever the system's language: Qt's own texts
// (dialog buttons, file types, context menus) from Qt's German translations,
// numbers, dates and file type names in German form.
#pragma once

class QCoreApplication;

// False when Qt's German translations are not installed (Debian:
// qt6-translations-l10n); the interface then keeps Qt's English texts.
bool InstallGermanInterface(QCoreApplication& application);
