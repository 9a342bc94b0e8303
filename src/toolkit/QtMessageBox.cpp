#include "toolkit/QtMessageBox.h"

#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon IconOf(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ShowQtMessageBox(const MessageBoxRequest& request)
{
    const QString caption = request.caption.empty() ? QApplication::applicationName()
                                                    : QString::fromStdString(request.caption);
    const bool okCancel = (request.flags & 0x0F) == MB_OKCANCEL;
    QMessageBox box(IconOf(request.flags), caption, QString::fromStdString(request.text),
                    okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                    QApplication::activeWindow());
    return ShowModal(box) == QMessageBox::Ok ? IDOK : IDCANCEL;
}

} // namespace

void InstallQtMessageBoxes()
{
    SetMessageBoxHandler(ShowQtMessageBox);
}
