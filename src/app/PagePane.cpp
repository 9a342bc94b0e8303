#include "app/PagePane.h"

#include "app/PageFrame.h"
#include "toolkit/PaintBox.h"

#include <QFrame>
#include <QVBoxLayout>

PaintBox* MakePicturePane(QWidget* parent, QWidget** pane, int margin)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    SetBackground(frame, kWorkspace);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(margin, margin, margin, margin);
    auto* box = new PaintBox(frame);
    layout->addWidget(box);
    *pane = frame;
    return box;
}
