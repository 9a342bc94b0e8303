// Printing for real: the page goes through QPrinter into a PDF file, or
// through a CUPS queue, and the PDF that arrives is rasterised with pdftoppm
// and compared with the rectangle the layout rule computes.
#include "TestSupport.h"

#include "gdi/RasterDC.h"
#include "io/PrintDib.h"
#include "io/QtPrintTarget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QThread>

#include <cstdlib>
#include <filesystem>

namespace {

// Four quadrants of clearly different colours.
constexpr COLORREF kQuadrants[4] = {RGB(220, 30, 30), RGB(30, 200, 40), RGB(30, 40, 210),
                                    RGB(240, 220, 20)};

TDibRecord QuadrantPicture(int width, int height)
{
    return MakeDib(width, height, 24, [=](int x, int y) {
        return kQuadrants[(y >= height / 2) * 2 + (x >= width / 2)];
    });
}

bool Near(QRgb seen, COLORREF expected, int tolerance = 24)
{
    return std::abs(qRed(seen) - GetRValue(expected)) <= tolerance &&
           std::abs(qGreen(seen) - GetGValue(expected)) <= tolerance &&
           std::abs(qBlue(seen) - GetBValue(expected)) <= tolerance;
}

// The first page of a PDF at dpi, rasterised into folder, or a null image
// when pdftoppm is missing.
QImage Rasterise(const std::string& pdf, int dpi, const std::string& folder)
{
    const std::string out = folder + "/page";
    const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -png -singlefile '" + pdf +
                                "' '" + out + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    return QImage(QString::fromStdString(out + ".png"));
}

// The picture covers r of the page image (offset by the printable area's
// corner): each quadrant's colour a few pixels inside its corner and at its
// middle, white a few pixels outside the rectangle.
void ExpectPictureCovers(const QImage& page, const PlacedRect& r, QPoint offset = {})
{
    const int inset = 3;
    const int x0 = offset.x() + r.x, y0 = offset.y() + r.y;
    const int xs[2][2] = {{x0 + inset, x0 + r.width / 4},
                          {x0 + r.width - 1 - inset, x0 + 3 * r.width / 4}};
    const int ys[2][2] = {{y0 + inset, y0 + r.height / 4},
                          {y0 + r.height - 1 - inset, y0 + 3 * r.height / 4}};
    for (int q = 0; q < 4; ++q)
        for (int k = 0; k < 2; ++k) {
            const int x = xs[q % 2][k], y = ys[q / 2][k];
            EXPECT_TRUE(Near(page.pixel(x, y), kQuadrants[q]))
                << "quadrant " << q << " at " << x << "," << y << ": " << std::hex
                << page.pixel(x, y);
        }
    const QPoint outside[] = {{x0 - inset, y0 + r.height / 2},
                              {x0 + r.width + inset, y0 + r.height / 2},
                              {x0 + r.width / 2, y0 - inset},
                              {x0 + r.width / 2, y0 + r.height + inset}};
    for (QPoint p : outside) {
        if (page.rect().contains(p)) {
            EXPECT_TRUE(Near(page.pixel(p), RGB(255, 255, 255), 8))
                << "white outside at " << p.x() << "," << p.y();
        }
    }
}

class Printing : public LeakCheckedTest {
protected:
    void SetUp() override
    {
        LeakCheckedTest::SetUp();
        dir = MakeTempDir();
    }
    void TearDown() override
    {
        std::filesystem::remove_all(dir);
        LeakCheckedTest::TearDown();
    }
    std::string dir;
};

TEST_F(Printing, APdfPageShowsThePictureWhereTheRulePutsIt)
{
    DibGuard picture(QuadrantPicture(160, 120));
    PrintOptions custom;
    custom.useFull = false;
    custom.widthPercent = 50;
    custom.heightPercent = 26;
    PrintOptions topLeft;
    topLeft.centred = false;
    for (const PrintOptions& options : {PrintOptions{}, custom, topLeft}) {
        const std::string pdf = dir + "/page.pdf";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        printer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        printer.setResolution(72);
        QtPrintTarget target(printer);
        ASSERT_EQ(target.Page().width, 595);
        ASSERT_EQ(target.Page().height, 842);
        std::string error;
        ASSERT_TRUE(PrintDib(picture.dib, options, target, error)) << error;

        const QImage page = Rasterise(pdf, 72, dir);
        if (page.isNull())
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        ASSERT_EQ(page.size(), QSize(595, 842));
        ExpectPictureCovers(page, PlaceOnPage(595, 842, 160, 120, options));
    }
}

TEST_F(Printing, ThroughARealCupsQueue)
{
    const char* queue = std::getenv("KELVORA_TEST_CUPS_QUEUE");
    const char* output = std::getenv("KELVORA_TEST_CUPS_OUTPUT");
    if (!queue || !output)
        GTEST_SKIP() << "no CUPS test queue: scripts/test.sh starts cupsd with a cups-pdf queue "
                        "when it runs as root with cups-daemon and printer-driver-cups-pdf";
    ASSERT_FALSE(QPrinterInfo::printerInfo(QString::fromLocal8Bit(queue)).isNull())
        << "the queue " << queue << " is not known to Qt's CUPS support";
    const QDir arrivals(QString::fromLocal8Bit(output));
    const QStringList before = arrivals.entryList({QStringLiteral("*.pdf")});

    DibGuard picture(QuadrantPicture(160, 120));
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(QString::fromLocal8Bit(queue));
    printer.setResolution(72);
    QtPrintTarget target(printer);
    const PrinterPage page = target.Page();
    std::string error;
    ASSERT_TRUE(PrintDib(picture.dib, PrintOptions{}, target, error)) << error;

    // cups-pdf names the file after the job's title.
    QString arrived;
    QElapsedTimer waited;
    waited.start();
    while (arrived.isEmpty() && waited.elapsed() < 60000) {
        for (const QString& name : arrivals.entryList({QStringLiteral("*.pdf")}))
            if (!before.contains(name) && name.contains(QStringLiteral("Kelvora_Bild")))
                arrived = arrivals.filePath(name);
        QThread::msleep(100);
    }
    ASSERT_FALSE(arrived.isEmpty()) << "no PDF named after the job arrived in " << output;
    QThread::msleep(300); // let the backend finish writing
    const QImage paper = Rasterise(arrived.toStdString(), 72, dir);
    if (paper.isNull())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const QPoint corner = printer.pageLayout().paintRectPixels(72).topLeft();
    ExpectPictureCovers(paper, PlaceOnPage(page.width, page.height, 160, 120, PrintOptions{}),
                        corner);
    QFile::remove(arrived);
}

} // namespace
