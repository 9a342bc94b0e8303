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

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Rotate(TMainForm& f, bool right, QRadioButton* TRotateForm::*angle, double degrees = 0)
{
    DialogAnswer answer([&](QDialog&) {
        (right ? f.RotateForm->RotRightCheck : f.RotateForm->RotLeftCheck)->setChecked(true);
        (f.RotateForm->*angle)->setChecked(true);
        if (degrees != 0)
            f.RotateForm->GradEdit->setValue(degrees);
        return int(QDialog::Accepted);
    });
    f.RotateBtnClick();
}

void Resize(TMainForm& f, int width, int height, bool interpolate)
{
    DialogAnswer answer([&](QDialog&) {
        f.ResizeForm->SverhCheck->setChecked(false);
        f.ResizeForm->BreitEdit->setValue(width);
        f.ResizeForm->HochEdit->setValue(height);
        f.ResizeForm->InterpolCheck->setChecked(interpolate);
        return int(QDialog::Accepted);
    });
    f.SizeBtnClick();
}

// "Farb-Anzahl...", then for a reduction the options dialog.
void Depth(TMainForm& f, int bits, QRadioButton* TDepthDownForm::*method = nullptr,
           QRadioButton* TDepthDownForm::*palette = nullptr, bool windowsColours = true)
{
    DialogAnswer answer([&](QDialog& dialog) {
        if (&dialog == f.DepthChangeForm) {
            f.DepthChangeForm->ColorBox->setCurrentIndex(ColorBoxItemFor(bits));
        } else {
            TDepthDownForm& d = *f.DepthDownForm;
            (d.*(palette ? palette : &TDepthDownForm::OptPalCheck))->setChecked(true);
            (d.*(method ? method : &TDepthDownForm::FSErrCheck))->setChecked(true);
            d.WinColCheck->setChecked(windowsColours);
        }
        return int(QDialog::Accepted);
    });
    f.FTiefeBtnClick();
}

void ClickVariation(TMainForm& f, int mode, int level, int intensity)
{
    f.PageControl2->setCurrentWidget(f.TabSheet4); // the grid has its size
    QApplication::processEvents();
    f.KModeBox->SetItemIndex(mode);
    f.IntensEd->setValue(intensity);
    const int cell = level + 4; // VariationStep's inverse
    const auto [x, y] =
        VariationCellOrigin(f.PaintBox1->width(), f.PaintBox1->height(), {cell % 3, cell / 3});
    f.PaintBox1MouseDown(x, y);
}

struct Row {
    const char* what;
    std::vector<std::string> words;
    std::function<void(TMainForm&)> inWindow;
};

const std::vector<Row>& Rows()
{
    static const std::vector<Row> rows = {
        {"crop",
         {"--crop", "5,4,50,40"},
         [](TMainForm& f) {
             f.CropRect = RECT{5, 4, 50, 40};
             f.CutBtnClick();
         }},
        {"mirror h", {"--mirror", "h"}, [](TMainForm& f) { f.MirrorHBtn->click(); }},
        {"mirror v", {"--mirror", "v"}, [](TMainForm& f) { f.MirrorVBtn->click(); }},
        {"right 90",
         {"--rotate", "rechts:90"},
         [](TMainForm& f) { Rotate(f, true, &TRotateForm::Grad90Check); }},
        {"left 270",
         {"--rotate", "links:270"},
         [](TMainForm& f) { Rotate(f, false, &TRotateForm::Grad270Check); }},
        {"left free 12,5",
         {"--rotate", "links:frei:12,5"},
         [](TMainForm& f) { Rotate(f, false, &TRotateForm::FreiGradCheck, 12.5); }},
        {"free on orange",
         {"--rotate", "rechts:frei:30:FF8000"},
         [](TMainForm& f) {
             f.ApplyStep(RotateStep({true, RotateAngle::Free, 30, RGB(255, 128, 0)}));
         }},
        {"resize interpolated",
         {"--resize", "30x20"},
         [](TMainForm& f) { Resize(f, 30, 20, true); }},
        {"resize plain",
         {"--resize", "100x70:nointerp"},
         [](TMainForm& f) { Resize(f, 100, 70, false); }},
        {"contrast +3",
         {"--correct", "kontrast:3:12"},
         [](TMainForm& f) { ClickVariation(f, kModeKontrast, 3, 12); }},
        {"blue -4",
         {"--correct", "blau:-4"},
         [](TMainForm& f) { ClickVariation(f, kModeBlau, -4, 8); }},
        {"8 bits", {"--depth", "8"}, [](TMainForm& f) { Depth(f, 8); }},
        {"8 bits plain",
         {"--depth", "8:fs:optimized:nowin"},
         [](TMainForm& f) { Depth(f, 8, nullptr, nullptr, false); }},
        {"4 bits",
         {"--depth", "4:nearest:standard"},
         [](TMainForm& f) {
             Depth(f, 4, &TDepthDownForm::NearCheck, &TDepthDownForm::StdPalCheck);
         }},
        {"1 bit and back",
         {"--depth", "1:ordered", "--depth", "24"},
         [](TMainForm& f) {
             Depth(f, 1, &TDepthDownForm::DitherCheck);
             Depth(f, 24);
         }},
    };
    return rows;
}

TEST_F(WindowAndCommandLine, EveryKindOfStepGivesTheSameBytes)
{
    ShowWindow();
    const std::string in = programDir + "in.bmp";
    {
        DibGuard photo(MakeDib(64, 48, 24, [](int x, int y) {
            return RGB(std::uint8_t(x * 4), std::uint8_t(y * 5), std::uint8_t((x * y) & 0xFF));
        }));
        ASSERT_TRUE(WriteDibFile(photo.dib, in));
    }
    // each kind alone, then all of them one after the other
    std::vector<Row> rows = Rows();
    Row all{"all", {}, [](TMainForm& f) {
                for (const Row& row : Rows())
                    row.inWindow(f);
            }};
    for (const Row& row : rows)
        all.words.insert(all.words.end(), row.words.begin(), row.words.end());
    rows.push_back(all);

    for (const Row& row : rows) {
        form->OpenFileNow(in); // over the last row's changes: asked, answered yes
        boxes->shown.clear();
        const int before = form->Steps().Count();
        row.inWindow(*form);
        EXPECT_GT(form->Steps().Count(), before) << row.what << ": no step in the window";
        const std::string byWindow = programDir + "window.bmp", byCli = programDir + "cli.bmp";
        ASSERT_TRUE(WriteDibFile(form->WorkDib, byWindow)) << row.what;

        std::vector<std::string> args{in};
        args.insert(args.end(), row.words.begin(), row.words.end());
        args.insert(args.end(), {"-o", byCli});
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        EXPECT_EQ(RunCli(args, out, err), kCliOk) << row.what;
        std::fclose(out);
        std::fclose(err);
        EXPECT_TRUE(boxes->shown.empty()) << row.what << ": " << boxes->shown.front().text;
        boxes->shown.clear();
        const std::string window = FileBytes(byWindow);
        EXPECT_FALSE(window.empty()) << row.what;
        EXPECT_TRUE(window == FileBytes(byCli)) << row.what;
    }
}

} // namespace
