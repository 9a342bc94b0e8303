#include "cli/CliPrint.h"

#include "io/QtPrintTarget.h"
#include "toolkit/MessageBox.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kCliPrintDpi = 300;

// Qt's notes about its environment are no concern of a command-line user.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "kelvora-cli: %s\n", message.toLocal8Bit().constData());
}

// Qt's printing needs an application object; the command line makes one on
// the platform that needs no display, the first time it prints. It lives to
// the end of the process: taking it down among the static objects would
// outlive parts of Qt it needs.
void NeedGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    qInstallMessageHandler(QuietQt);
    static int argc = 3;
    static char name[] = "kelvora-cli", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

} // namespace

bool PrintPictureForCli(const TDibRecord& dib, const PrintOptions& layout, CliPrintTo to,
                        const std::string& target)
{
    NeedGuiApplication();
    QPrinter printer(QPrinter::HighResolution);
    if (to == CliPrintTo::PdfFile) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(target.c_str()));
        printer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    } else if (target == "-") {
        if (QPrinterInfo::defaultPrinter().isNull()) {
            MessageBox("Es ist kein Standarddrucker eingerichtet.", {}, MB_OK | MB_ICONERROR);
            return false;
        }
    } else {
        if (QPrinterInfo::printerInfo(QString::fromLocal8Bit(target.c_str())).isNull()) {
            MessageBox("Den Drucker „" + target + "“ gibt es nicht.", {}, MB_OK | MB_ICONERROR);
            return false;
        }
        printer.setPrinterName(QString::fromLocal8Bit(target.c_str()));
    }
    printer.setResolution(kCliPrintDpi);
    QtPrintTarget page(printer);
    // As the print dialog shows them: with the proportions kept, the height
    // follows the width on this page, within the spin edit's 1..100.
    PrintOptions shown = layout;
    if (!shown.useFull && shown.keepAspect) {
        const PrinterPage sheet = page.Page();
        shown.heightPercent =
            std::clamp(LinkedHeightPercent(shown.widthPercent, DibWidth(dib), DibHeight(dib),
                                           sheet.width, sheet.height),
                       1, 100);
    }
    std::string error;
    if (PrintDib(dib, shown, page, error))
        return true;
    MessageBox(error, {}, MB_OK | MB_ICONERROR);
    return false;
}
