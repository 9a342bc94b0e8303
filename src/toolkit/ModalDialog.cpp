#include "toolkit/ModalDialog.h"

#include <QApplication>
#include <QBackingStore>
#include <QDialog>

#include <utility>

namespace {

ModalHandler& Handler()
{
    static ModalHandler handler;
    return handler;
}

// Windows the dialog covered show what lies under it again, on the screen,
// before the caller goes on: a command that follows runs without painting,
// and a large picture would leave pieces of the dialog standing meanwhile.
void RepaintWhereItWas(const QDialog& dialog)
{
    const QRect covered = dialog.frameGeometry();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == &dialog || !window->isVisible() || window->isMinimized())
            continue;
        const QRect part =
            QRect(window->mapFromGlobal(covered.topLeft()), covered.size()) & window->rect();
        if (part.isEmpty())
            continue;
        // Paints what waits for painting; but it hands the window system only
        // what it painted, never the parts of opaque children (picture panes),
        // whose pixels it takes to be on the screen still.
        window->repaint(part);
        if (QBackingStore* store = window->backingStore())
            store->flush(part, window->windowHandle());
    }
}

} // namespace

int ShowModal(QDialog& dialog)
{
    if (!Handler()) {
        const int result = dialog.exec();
        RepaintWhereItWas(dialog);
        return result;
    }
    // As exec() would, the dialog ends with the result it is answered with.
    const int result = Handler()(dialog);
    dialog.setResult(result);
    return result;
}

ModalHandler SetModalHandler(ModalHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
