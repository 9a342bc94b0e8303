// The save and print page: for now the frame and the side panel; the
// before/after panes come with saving and printing.
#include "app/MainUnit.h"

#include "app/PageFrame.h"

QWidget* TMainForm::BuildResultPage()
{
    QWidget* content = nullptr;
    QWidget* page = MakePage(&content,
                             QStringLiteral("Speichern/Drucken - Hier sehen Sie die Vorher/Nachher "
                                            "Darstellung und können das Bild speichern"),
                             QStringLiteral("Ergebnis verarbeiten..."),
                             QStringLiteral(":/images/side-result.svg"));
    SetBackground(content, kWorkspace);
    return page;
}
