// The print layout dialog: defaults, stored percentages, the linked
// percentages, the preview page and the printer set-up.
#include "TestSupport.h"

#include "io/PrintForm.h"
#include "toolkit/PaintBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>

#include <memory>

namespace {

class PrintForm : public LeakCheckedTest {
protected:
    void SetUp() override
    {
        LeakCheckedTest::SetUp();
        QSettings().remove(QStringLiteral("TPrintForm"));
        photo = MakeDib(160, 120, 24, [](int, int) { return RGB(200, 40, 40); });
    }
    void TearDown() override
    {
        deldib(photo);
        LeakCheckedTest::TearDown();
    }

    // A new dialog on the photo and an A4-like portrait page of 4800 x 6800,
    // shown as the print button shows it.
    std::unique_ptr<TPrintForm> Open(PrinterPage page = {4800, 6800, 600, 600})
    {
        auto dialog = std::make_unique<TPrintForm>();
        dialog->PrintDib = photo;
        dialog->Page = page;
        dialog->show();
        QApplication::processEvents();
        return dialog;
    }

    QRgb Preview(TPrintForm& f, int x, int y) { return f.PrintPaintBox->CanvasImage().pixel(x, y); }

    TDibRecord photo{};
};

TEST_F(PrintForm, OpensWithTheDefaultsAndLinksTheHeightAtOnce)
{
    const auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Bild drucken..."));
    EXPECT_TRUE(dialog->UseFullCheck->isChecked());
    EXPECT_TRUE(dialog->SverhCheck->isChecked());
    EXPECT_TRUE(dialog->ZentrCheck->isChecked());
    EXPECT_EQ(dialog->BreitEdit->value(), 50);
    EXPECT_EQ(dialog->HochEdit->value(), 26) << "Trunc(1200 x 50 / 1600 x 4800 / 6800)";
    EXPECT_FALSE(dialog->LinkGuard);
}

TEST_F(PrintForm, PercentagesSurviveANewDialogAndARestartButTheChecksDoNot)
{
    {
        const auto dialog = Open();
        dialog->SverhCheck->setChecked(false);
        dialog->UserdefCheck->setChecked(true);
        dialog->ZentrCheck->setChecked(false);
        dialog->BreitEdit->setValue(70);
        dialog->HochEdit->setValue(33);
    }
    // what a restart reads: the settings file itself
    QSettings file(QSettings(QStringLiteral("Norvane"), QStringLiteral("Kelvora")).fileName(),
                   QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("TPrintForm/BreitEdit.Value")).toInt(), 70);
    EXPECT_EQ(file.value(QStringLiteral("TPrintForm/HochEdit.Value")).toInt(), 33);

    auto again = std::make_unique<TPrintForm>();
    EXPECT_EQ(again->BreitEdit->value(), 70);
    EXPECT_EQ(again->HochEdit->value(), 33) << "restored as stored";
    EXPECT_TRUE(again->UseFullCheck->isChecked());
    EXPECT_TRUE(again->SverhCheck->isChecked());
    EXPECT_TRUE(again->ZentrCheck->isChecked());
    again->PrintDib = photo;
    again->Page = {4800, 6800, 600, 600};
    again->show();
    EXPECT_EQ(again->HochEdit->value(), 37) << "re-derived on showing, with the aspect kept";
}

TEST_F(PrintForm, TheLinkedPercentageIsLimitedToItsField)
{
    const auto dialog = Open();
    dialog->HochEdit->setValue(60);
    EXPECT_EQ(dialog->BreitEdit->value(), 100) << "113 limited to 100";
    EXPECT_EQ(dialog->HochEdit->value(), 60) << "not derived back";
    dialog->SverhCheck->setChecked(false);
    dialog->BreitEdit->setValue(20);
    EXPECT_EQ(dialog->HochEdit->value(), 60) << "no link without the aspect";
}

TEST_F(PrintForm, ThePreviewShowsThePageAndThePictureOnIt)
{
    const auto dialog = Open({4961, 7016, 600, 600});
    const QRgb background = dialog->PrintPaintBox->EraseColor().rgb();
    // portrait: the page is 134 x 190 at x 28; the photo 134 x 100 centred on it
    EXPECT_EQ(Preview(*dialog, 27, 100), background);
    EXPECT_EQ(Preview(*dialog, 28, 5), qRgb(255, 255, 255)) << "page above the photo";
    EXPECT_EQ(Preview(*dialog, 95, 95), qRgb(200, 40, 40));
    EXPECT_EQ(Preview(*dialog, 162, 100), background);

    dialog->ZentrCheck->click();
    EXPECT_EQ(Preview(*dialog, 29, 1), qRgb(200, 40, 40)) << "at the page's top-left corner";
    EXPECT_EQ(Preview(*dialog, 95, 150), qRgb(255, 255, 255));
    dialog->SverhCheck->click();
    EXPECT_EQ(Preview(*dialog, 95, 150), qRgb(200, 40, 40)) << "stretched over the page";
}

TEST_F(PrintForm, ThePrinterSetUpTurnsThePreviewAndRederivesTheHeight)
{
    const auto dialog = Open();
    int setups = 0;
    dialog->OnPrinterSetup = [&] {
        ++setups;
        return PrinterPage{6800, 4800, 600, 600};
    };
    dialog->PrintSetupBtn->click();
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(dialog->HochEdit->value(), 53) << "Trunc(1200 x 50 / 1600 x 6800 / 4800)";
    const QRgb background = dialog->PrintPaintBox->EraseColor().rgb();
    EXPECT_EQ(Preview(*dialog, 1, 20), background) << "landscape: the page is lower";
    EXPECT_EQ(Preview(*dialog, 1, 40), qRgb(255, 255, 255));
}

TEST_F(PrintForm, TheResolutionOnPaperIsShownAndWarnedAbout)
{
    const auto dialog = Open({4800, 6800, 600, 600});
    EXPECT_EQ(dialog->DpiLabel->text(), QStringLiteral("Druckauflösung: 20 dpi (gering)"));
    dialog->UserdefCheck->click();
    dialog->BreitEdit->setValue(4);
    EXPECT_EQ(dialog->DpiLabel->text(), QStringLiteral("Druckauflösung: 500 dpi"));
}

} // namespace
