#include "app/PagePane.h"

#include "app/PageFrame.h"
#include "toolkit/PaintBox.h"

#include <QFrame>
#include <QVBoxLayout>

PaintBox* MakePicturePane(QWidget* parent, QWidget** pane)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    SetBackground(frame, kWorkspace);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* box = new PaintBox(frame);
    layout->addWidget(box);
    *pane = frame;
    return box;
}
