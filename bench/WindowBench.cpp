// The window on an X server (Xvfb will do), each figure up to the moment the
// X server has what the user waits for: on the optimize page an intensity
// keystroke, a resize step of the grid box and a click on a cell followed by
// undo (grid box 401 x 329); on the open page a double-click on a 24-megapixel
// JPEG, whole and in its stages (decoding, taking the picture over, drawing).
#include "PhotoLike.h"
#include "app/MainUnit.h"
#include "imagora/DibWriter.h"
#include "imagora/Imagora.h"
#include "toolkit/PaintBox.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

TMainForm* form = nullptr;

// Runs the posted updates and waits until the X server has drawn them.
void ShowNow()
{
    QApplication::processEvents();
    QApplication::processEvents();
    QGuiApplication::sync();
}

// Makes the grid box w x h by resizing the window around it.
void SizeGridBox(int w, int h)
{
    const QSize wanted = form->size() + (QSize(w, h) - form->PaintBox1->size());
    form->resize(wanted);
    for (int i = 0; i < 1000 && form->PaintBox1->size() != QSize(w, h); ++i)
        ShowNow();
}

// A photo-like picture of w x h as the working image.
void UsePhoto(int w, int h)
{
    TDibRecord photo;
    newdib(&photo, w, h, 24, nullptr, 0);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = photo.Bits + std::ptrdiff_t(y) * photo.LineBytes;
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = std::uint8_t(x * 255 / w);
            p[1] = std::uint8_t(y * 255 / h);
            p[2] = std::uint8_t((x ^ y) & 0xFF);
        }
    }
    form->InstallOpened(photo, {});
    ShowNow();
}

void BM_GridRebuild(benchmark::State& state)
{
    UsePhoto(640, 480);
    SizeGridBox(401, 329);
    for (auto _ : state) {
        form->IntensEdChange();
        ShowNow();
    }
}
BENCHMARK(BM_GridRebuild)->Unit(benchmark::kMillisecond);

// One step of a window resize as the grid box sees it: a new size, a new
// canvas, a rebuilt grid on the screen. (The X server's own round trip of a
// top-level resize is left out: it is not the program's to speed up.)
void BM_ResizeStep(benchmark::State& state)
{
    UsePhoto(640, 480);
    SizeGridBox(401, 329);
    int width = 401;
    for (auto _ : state) {
        width = width == 401 ? 402 : 401;
        form->PaintBox1->setFixedSize(width, 329);
        ShowNow();
    }
    form->PaintBox1->setMinimumSize(0, 0);
    form->PaintBox1->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}
BENCHMARK(BM_ResizeStep)->Unit(benchmark::kMillisecond);

// A click on the centre cell (the picture's own colours, changed in place all
// the same), then undo: both copy and correct the whole picture.
void BM_ClickThenUndo(benchmark::State& state)
{
    UsePhoto(int(state.range(0)), int(state.range(1)));
    SizeGridBox(401, 329);
    for (auto _ : state) {
        form->PaintBox1MouseDown(200, 160);
        ShowNow();
        form->UndoBtn1Click();
        ShowNow();
    }
}
BENCHMARK(BM_ClickThenUndo)->Args({640, 480})->Args({6000, 4000})->Unit(benchmark::kMillisecond);

// A 6000 x 4000 photo-like JPEG at quality 90, written once into a folder
// of its own that goes with the program.
class JpegFile {
public:
    JpegFile()
    {
        char pattern[] = "/tmp/kelvora-window-bench-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        folder_ = pattern;
        const TDibRecord photo = NewPhotoLike(6000, 4000);
        if (!WriteDibFile(photo, Path(), nullptr, 90))
            std::abort();
        deldib(photo);
    }
    ~JpegFile() { std::filesystem::remove_all(folder_); }
    std::string Path() const { return folder_ + "/photo.jpg"; }

private:
    std::string folder_;
};

std::string JpegPhoto()
{
    static const JpegFile file;
    return file.Path();
}

void ShowOpenPage()
{
    form->PageControl2->setCurrentWidget(form->TabSheet2);
    ShowNow();
}

// What the list's double-click runs, until the X server has the picture
// (the reduced one first); the whole picture arrives outside the timing.
void BM_OpenJpegToScreen(benchmark::State& state)
{
    ShowOpenPage();
    for (auto _ : state) {
        form->OpenFileNow(JpegPhoto());
        ShowNow();
        state.PauseTiming();
        form->AwaitPicture();
        ShowNow();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenJpegToScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same until the whole picture is the working image and on the screen.
void BM_OpenJpegWhole(benchmark::State& state)
{
    ShowOpenPage();
    for (auto _ : state) {
        form->OpenFileNow(JpegPhoto());
        ShowNow();
        form->AwaitPicture();
        ShowNow();
    }
}
BENCHMARK(BM_OpenJpegWhole)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same in its stages: 0 decoding the file, 1 taking the decoded picture
// over as the working image, 2 drawing the open page's preview, 3 the reduced
// decode that fills the preview.
void BM_OpenJpegStage(benchmark::State& state)
{
    ShowOpenPage();
    for (auto _ : state) {
        state.PauseTiming();
        TDibRecord dib;
        if (state.range(0) != 0)
            OpenDib(&dib, JpegPhoto().c_str(), 0, nullptr);
        state.ResumeTiming();
        switch (state.range(0)) {
        case 0:
            OpenDib(&dib, JpegPhoto().c_str(), 0, nullptr);
            break;
        case 1:
            form->InstallOpened(dib, JpegPhoto());
            break;
        case 2:
            form->DibPrevPaint->Repaint();
            ShowNow();
            break;
        default:
            OpenDibReduced(&dib, JpegPhoto().c_str(), form->DibPrevPaint->width(),
                           form->DibPrevPaint->height());
            break;
        }
        state.PauseTiming();
        if (state.range(0) == 1)
            ShowNow(); // the panes' repaints belong to the drawing stage
        else
            deldib(dib);
        state.ResumeTiming();
    }
    const char* const stages[] = {"decode", "install", "draw", "reduced decode"};
    state.SetLabel(stages[state.range(0)]);
}
BENCHMARK(BM_OpenJpegStage)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr,
                     "bench_window needs an X server: DISPLAY=:N %s (see bench/README.md)\n",
                     argv[0]);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QTemporaryDir home; // the favourites and settings of this run
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    QApplication application(argc, argv);
    auto window = std::make_unique<TMainForm>(home.path().toStdString() + "/kelvora");
    form = window.get();
    form->PageControl2->setCurrentWidget(form->TabSheet4);
    form->show();
    ShowNow();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
