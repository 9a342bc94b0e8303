// The frame of a fixed-size dialog: a caption, a client area of the given
// size that the user cannot resize, a border with only the system menu (a
// close box, no minimise or maximise), the forms' design font, and a place at
// the centre of the screen.
#pragma once

class QDialog;
class QString;

void SetUpFixedDialog(QDialog& dialog, const QString& caption, int width, int height);
