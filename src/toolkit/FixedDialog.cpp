#include "toolkit/FixedDialog.h"

#include "toolkit/Fonts.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

void SetUpFixedDialog(QDialog& dialog, const QString& caption, int width, int height)
{
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8));
    dialog.setFixedSize(width, height);
    // A moved dialog keeps its place instead of centring over its owner.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
}
