// The window and the command line run every kind of step through the same
// door: the same steps, given by the window's buttons and dialogs and by
// kelvora-cli's words, give the same file byte for byte.
#include "MainWindowFixture.h"

#include "DialogAnswer.h"
#include "cli/CliRun.h"
#include "correct/VariationGrid.h"
#include "depth/DepthChangeForm.h"
#include "depth/DepthDialogState.h"
#include "depth/DepthDownForm.h"
#include "geometry/ResizeForm.h"
#include "geometry/RotateForm.h"
#include "imagora/DibWriter.h"
#include "toolkit/PaintBox.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/SpinEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <fstream>
#include <functional>
#include <iterator>

namespace {

using WindowAndCommandLine = MainWindowTest;
using InWindow = std::function<void(TMainForm&)>;

// A click on a window button whose dialogs answer sets and accepts.
InWindow Answered(void (TMainForm::*click)(), std::function<void(TMainForm&, QDialog&)> answer)
{
    return [=](TMainForm& f) {
        DialogAnswer accept([&](QDialog& dialog) {
            answer(f, dialog);
            return int(QDialog::Accepted);
        });
        (f.*click)();
    };
}

InWindow Rotate(bool right, QRadioButton* TRotateForm::*angle, double degrees = 0,
                QColor fill = Qt::white)
{
    return Answered(&TMainForm::RotateBtnClick, [=](TMainForm& f, QDialog& dialog) {
        TRotateForm& r = *f.RotateForm;
        if (&dialog == r.ColorDialog1)
            return r.ColorDialog1->setCurrentColor(fill);
        (right ? r.RotRightCheck : r.RotLeftCheck)->setChecked(true);
        (r.*angle)->setChecked(true);
        if (degrees != 0)
            r.GradEdit->setValue(degrees);
        r.ColorBtn->click();
    });
}

InWindow Resize(int width, int height, bool interpolate)
{
    return Answered(&TMainForm::SizeBtnClick, [=](TMainForm& f, QDialog&) {
        f.ResizeForm->SverhCheck->setChecked(false);
        f.ResizeForm->BreitEdit->setValue(width);
        f.ResizeForm->HochEdit->setValue(height);
        f.ResizeForm->InterpolCheck->setChecked(interpolate);
    });
}

// "Farb-Anzahl...", then for a reduction the options dialog.
using Depths = TDepthDownForm;
InWindow Depth(int bits, QRadioButton* Depths::*method = &Depths::FSErrCheck,
               QRadioButton* Depths::*palette = &Depths::OptPalCheck, bool windowsColours = true)
{
    return Answered(&TMainForm::FTiefeBtnClick, [=](TMainForm& f, QDialog& dialog) {
        if (&dialog == f.DepthChangeForm)
            return f.DepthChangeForm->ColorBox->setCurrentIndex(ColorBoxItemFor(bits));
        (f.DepthDownForm->*palette)->setChecked(true);
        (f.DepthDownForm->*method)->setChecked(true);
        f.DepthDownForm->WinColCheck->setChecked(windowsColours);
    });
}

InWindow Variation(int mode, int level, int intensity)
{
    return [=](TMainForm& f) {
        f.PageControl2->setCurrentWidget(f.TabSheet4); // the grid has its size
        QApplication::processEvents();
        f.KModeBox->SetItemIndex(mode);
        f.IntensEd->setValue(intensity);
        const int cell = level + 4; // VariationStep's inverse
        const auto [x, y] =
            VariationCellOrigin(f.PaintBox1->width(), f.PaintBox1->height(), {cell % 3, cell / 3});
        f.PaintBox1MouseDown(x, y);
    };
}

struct Row {
    std::vector<std::string> words; // kelvora-cli's
    InWindow inWindow;
};

const std::vector<Row> kRows = {
    {{"--crop", "5,4,50,40"},
     [](TMainForm& f) {
         f.CropRect = {5, 4, 50, 40}, f.CutBtnClick();
     }},
    {{"--mirror", "h"}, [](TMainForm& f) { f.MirrorHBtn->click(); }},
    {{"--mirror", "v"}, [](TMainForm& f) { f.MirrorVBtn->click(); }},
    {{"--rotate", "rechts:90"}, Rotate(true, &TRotateForm::Grad90Check)},
    {{"--rotate", "links:270"}, Rotate(false, &TRotateForm::Grad270Check)},
    {{"--rotate", "links:frei:12,5"}, Rotate(false, &TRotateForm::FreiGradCheck, 12.5)},
    {{"--rotate", "rechts:frei:30:FF8000"},
     Rotate(true, &TRotateForm::FreiGradCheck, 30, QColor(255, 128, 0))},
    {{"--resize", "30x20"}, Resize(30, 20, true)},
    {{"--resize", "100x70:nointerp"}, Resize(100, 70, false)},
    {{"--correct", "kontrast:3:12"}, Variation(kModeKontrast, 3, 12)},
    {{"--correct", "blau:-4"}, Variation(kModeBlau, -4, 8)},
    {{"--depth", "8"}, Depth(8)},
    {{"--depth", "8:fs:optimized:nowin"},
     Depth(8, &Depths::FSErrCheck, &Depths::OptPalCheck, false)},
    {{"--depth", "4:nearest:standard"}, Depth(4, &Depths::NearCheck, &Depths::StdPalCheck)},
    {{"--depth", "1:ordered", "--depth", "24"},
     [](TMainForm& f) { Depth(1, &Depths::DitherCheck)(f), Depth(24)(f); }},
};

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(WindowAndCommandLine, EveryKindOfStepGivesTheSameBytes)
{
    ShowWindow();
    const std::string in = programDir + "in.bmp", byWindow = programDir + "window.bmp",
                      byCli = programDir + "cli.bmp";
    DibGuard photo(MakeDib(64, 48, 24, [](int x, int y) {
        return RGB(std::uint8_t(x * 4), std::uint8_t(y * 5), std::uint8_t((x * y) & 0xFF));
    }));
    ASSERT_TRUE(WriteDibFile(photo.dib, in));
    // each kind alone, then all of them one after the other
    std::vector<Row> rows = kRows;
    rows.push_back({{}, [](TMainForm& f) {
                        for (const Row& row : kRows)
                            row.inWindow(f);
                    }});
    for (const Row& row : kRows)
        rows.back().words.insert(rows.back().words.end(), row.words.begin(), row.words.end());

    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.words));
        form->OpenFileNow(in); // over the last row's changes: asked, answered yes
        boxes->shown.clear();
        const int before = form->Steps().Count();
        row.inWindow(*form);
        EXPECT_GT(form->Steps().Count(), before) << "no step in the window";
        EXPECT_TRUE(boxes->shown.empty()) << boxes->shown.front().text;
        ASSERT_TRUE(WriteDibFile(form->WorkDib, byWindow));

        std::vector<std::string> args{in};
        args.insert(args.end(), row.words.begin(), row.words.end());
        args.insert(args.end(), {"-o", byCli});
        std::FILE* sink = std::tmpfile();
        EXPECT_EQ(RunCli(args, sink, sink), kCliOk);
        std::fclose(sink);
        EXPECT_TRUE(FileBytes(byWindow) == FileBytes(byCli));
    }
}

} // namespace
