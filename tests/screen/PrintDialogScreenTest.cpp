// The print layout dialog as the user sees it, at any pixel density: the
// preview page and the picture on it lie where the layout puts them, through
// the layout's choices and a turned printer page.
#include "ScreenFixture.h"

#include "io/PrintForm.h"
#include "io/PrintLayout.h"
#include "toolkit/PaintBox.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>

namespace {

class PrintDialogOnScreen : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        QSettings().remove(QStringLiteral("TPrintForm"));
    }

    // The screen shows what a fresh redraw shows, the white page in the
    // middle of the preview with the box's colour beside it, and the picture
    // where the layout puts it on the page.
    void ExpectPreview(TPrintForm& dialog, const char* when)
    {
        EXPECT_TRUE(ScreenMatchesFreshRedraw(&dialog)) << when;
        PaintBox* box = dialog.PrintPaintBox;
        const PlacedRect page =
            PreviewPage(box->width(), box->height(), dialog.Page.width, dialog.Page.height);
        const QRect paper = ToDevice(QRect(page.x, page.y, page.width, page.height));
        const QRgb white = qRgb(255, 255, 255), beside = box->EraseColor().rgb();
        const int middleY = paper.center().y(), middleX = paper.center().x();
        EXPECT_TRUE(
            SamplesOnScreen(box, {{QPoint(paper.left() - 1, middleY), beside, "left of the page"},
                                  {QPoint(paper.right() + 1, middleY), beside, "right of the page"},
                                  {QPoint(middleX, paper.top() - 1), beside, "above the page"},
                                  {QPoint(middleX, paper.bottom() + 1), beside, "below the page"},
                                  {paper.bottomRight(), white, "the page's bottom-right corner"}}))
            << when;
        const PlacedRect r = PlaceOnPage(page.width, page.height, DibWidth(dialog.PrintDib),
                                         DibHeight(dialog.PrintDib), dialog.Choice());
        EXPECT_TRUE(
            PictureOnScreen(box, ToDevice(QRect(page.x + r.x, page.y + r.y, r.width, r.height))))
            << when;
    }
};

TEST_F(PrintDialogOnScreen, ThePreviewFollowsEveryChoice)
{
    DibGuard photo(MakeBlockPicture(320, 240));
    TPrintForm dialog(form.get());
    dialog.PrintDib = photo.dib;
    dialog.Page = {4961, 7016, 600, 600}; // A4 upright at 600 dpi
    dialog.OnPrinterSetup = [] { return PrinterPage{7016, 4961, 600, 600}; };
    ASSERT_TRUE(ShowOnScreen(&dialog));
    ExpectPreview(dialog, "shown");

    dialog.ZentrCheck->click();
    ExpectPreview(dialog, "at the page's corner");
    dialog.UserdefCheck->click();
    dialog.BreitEdit->setValue(70);
    ExpectPreview(dialog, "at 70 % of the page's width");
    dialog.SverhCheck->click();
    dialog.HochEdit->setValue(20);
    ExpectPreview(dialog, "stretched");
    dialog.PrintSetupBtn->click();
    ExpectPreview(dialog, "on a page turned across");
}

} // namespace
