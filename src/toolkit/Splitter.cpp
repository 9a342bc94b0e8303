#include "toolkit/Splitter.h"

void TSplitter::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    if (OnResize)
        OnResize();
}
