// Fonts by the names the forms were designed with, falling back to the
// nearest free font where the named one is not installed.
#pragma once

#include <QFont>

QFont DesignFont(const QString& family, int pointSize, bool bold = false);
