// The file dialogs of recipes: where one is saved, which one is read.
#pragma once

#include <string>

class QWidget;

// The recipe file to write, or "" when the user cancelled. A name typed
// without an extension gets the chosen type's; replacing a file is asked.
// start: a file or folder to begin in, may be empty.
std::string AskRecipeSaveName(QWidget* parent, const std::string& start);

// The recipe file to read, or "" when the user cancelled.
std::string AskRecipeOpenName(QWidget* parent, const std::string& start);
