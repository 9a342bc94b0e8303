// Shows the program's message boxes as Qt dialogs.
#pragma once

void InstallQtMessageBoxes();
