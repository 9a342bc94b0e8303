// The result's way out: the viewer repainting a 1000 x 700 view of a
// 24-megapixel photo at 100 % and 400 % (only the visible part is drawn),
// and printing the photo on an A4 page at 300 dpi into a PDF file through
// Qt's printing.
#include "display/StretchDrawDib.h"
#include "display/ViewRules.h"
#include "gdi/RasterDC.h"
#include "imagora/Imagora.h"
#include "io/PrintDib.h"
#include "io/QtPrintTarget.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

const TDibRecord& Photo()
{
    static const TDibRecord photo = [] {
        TDibRecord d;
        newdib(&d, kWidth, kHeight, 24, nullptr, 0);
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* p = d.Bits + std::ptrdiff_t(y) * d.LineBytes;
            for (int i = 0; i < d.LineBytes; ++i)
                p[i] = std::uint8_t(i * 7 + y * 3);
        }
        return d;
    }();
    return photo;
}

// One repaint of the view, scrolled to the middle of the zoomed picture.
void BM_ViewerRepaint(benchmark::State& state)
{
    const int zoom = int(state.range(0));
    const ZoomedSize box = ZoomedBoxSize(kWidth, kHeight, zoom);
    RasterDC view(1000, 700);
    const int scrollX = box.width / 2, scrollY = box.height / 2;
    for (auto _ : state) {
        ViewDraw d;
        if (VisibleDraw(kWidth, kHeight, box.width, box.height, scrollX, scrollY, 1000, 700, d))
            StretchDrawDib(&view, d.destX, d.destY, d.destWidth, d.destHeight, Photo(), d.srcX,
                           d.srcY, d.srcWidth, d.srcHeight, true, SRCCOPY, false, nullptr);
        benchmark::DoNotOptimize(view.Row(0)[0]);
    }
    state.SetItemsProcessed(state.iterations() * 1000 * 700);
}
BENCHMARK(BM_ViewerRepaint)->Arg(100)->Arg(400)->Arg(9000)->Unit(benchmark::kMillisecond);

void BM_PrintA4Pdf(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        printer.setResolution(300);
        QtPrintTarget target(printer);
        std::string error;
        if (!PrintDib(Photo(), PrintOptions{}, target, error))
            state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_PrintA4Pdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Qt's printing wants an application; no display is needed.
    int qtArgc = 3;
    char name[] = "bench_output", option[] = "-platform", platform[] = "offscreen";
    char* qtArgv[] = {name, option, platform, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
