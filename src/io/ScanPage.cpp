// The scan page: for now the frame and the side panel; scanning comes with
// the scanner layer.
#include "app/MainUnit.h"

#include "app/PageFrame.h"

QWidget* TMainForm::BuildScanPage()
{
    QWidget* content = nullptr;
    QWidget* page =
        MakePage(&content, QStringLiteral("Scanner - Motiv über TWAIN-Scanner einscannen"),
                 QStringLiteral("Foto einscannen..."), QStringLiteral(":/images/side-scan.svg"));
    SetBackground(content, kWorkspace);
    return page;
}
