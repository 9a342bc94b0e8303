#include "io/QtPrintTarget.h"

#include "gdi/RasterDC.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>

namespace {

// Why printer cannot take a job, or "" when it can: a print queue that
// exists, or a file.
std::string NotReadyReason(const QPrinter& printer)
{
    if (!printer.outputFileName().isEmpty())
        return {};
    if (printer.printerName().isEmpty() || printer.outputFormat() == QPrinter::PdfFormat)
        return "Es ist kein Drucker eingerichtet. Über „Drucker einrichten...“ lässt sich das Bild "
               "in eine PDF-Datei drucken.";
    if (!printer.isValid())
        return "Der Drucker „" + printer.printerName().toStdString() + "“ ist nicht erreichbar.";
    return {};
}

} // namespace

QtPrintTarget::QtPrintTarget(QPrinter& printer) : printer_(printer)
{
    if (printer_.resolution() > kMaxPrintDpi)
        printer_.setResolution(kMaxPrintDpi);
}

PrinterPage QtPrintTarget::Page() const
{
    return {printer_.width(), printer_.height(), printer_.logicalDpiX(), printer_.logicalDpiY()};
}

bool QtPrintTarget::PrintPage(const std::string& title, const RasterDC& page,
                              const PlacedRect& drawn, std::string& reason)
{
    reason = NotReadyReason(printer_);
    if (!reason.empty())
        return false;
    printer_.setDocName(QString::fromStdString(title));
    QPainter painter;
    if (!painter.begin(&printer_)) {
        reason = "Der Druckauftrag konnte nicht gestartet werden.";
        return false;
    }
    // Paper is white: only the part the picture covers is sent.
    if (drawn.width > 0 && drawn.height > 0) {
        const int stride = page.Height() > 1
                               ? int(reinterpret_cast<const std::uint8_t*>(page.Row(1)) -
                                     reinterpret_cast<const std::uint8_t*>(page.Row(0)))
                               : page.Width() * 4;
        const QImage part(reinterpret_cast<const uchar*>(page.Row(drawn.y) + drawn.x), drawn.width,
                          drawn.height, stride, QImage::Format_RGB32);
        painter.drawImage(QPoint(drawn.x, drawn.y), part);
    }
    if (!painter.end()) {
        reason = "Der Druckauftrag konnte nicht abgeschlossen werden.";
        return false;
    }
    return true;
}

namespace {
QPrinter* programPrinter = nullptr;

// Goes with the application object, while the printing plugins are still there.
void DeletePrinter()
{
    delete programPrinter;
    programPrinter = nullptr;
}
} // namespace

QPrinter& Printer()
{
    if (!programPrinter) {
        programPrinter = new QPrinter(QPrinter::HighResolution);
        qAddPostRoutine(DeletePrinter);
    }
    return *programPrinter;
}
