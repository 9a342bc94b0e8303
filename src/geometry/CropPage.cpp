// The crop page: the working image and the undo button; the selection and
// the geometry commands build on it.
#include "app/MainUnit.h"

#include "app/PageFrame.h"
#include "app/PagePane.h"
#include "display/DrawFitted.h"
#include "toolkit/PaintBox.h"

#include <QPushButton>
#include <QVBoxLayout>

QWidget* TMainForm::BuildCropPage()
{
    QWidget* content = nullptr;
    QWidget* page =
        MakePage(&content,
                 QStringLiteral("Bild zuschneiden - Rand abschneiden, Rotieren, "
                                "Auflösung und Farbtiefe anpassen"),
                 QStringLiteral("Bild zuschneiden..."), QStringLiteral(":/images/side-crop.svg"));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    QWidget* pane = nullptr;
    RetuschPaint = MakePicturePane(content, &pane);
    RetuschPaint->OnPaint = [this] { RetuschPaintPaint(); };
    layout->addWidget(pane, 1);
    UndoBtn1 = MakeUndoButton(QStringLiteral("Letzten Schritt rückgängig machen"), content);
    connect(UndoBtn1, &QPushButton::clicked, this, [this] { UndoBtn1Click(); });
    layout->addWidget(UndoBtn1, 0, Qt::AlignLeft);
    return page;
}

void TMainForm::RetuschPaintPaint()
{
    DrawFitted(RetuschPaint->Canvas(), RetuschPaint->width(), RetuschPaint->height(), WorkDib);
}
