#include "TestSupport.h"

#include "toolkit/ElidedText.h"
#include "toolkit/GermanInterface.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QLocale>

namespace {

TEST(FitLabel, TakesASmallerSizeThenElidesAndTellsTheWholeTextInItsTooltip)
{
    const QString title = QStringLiteral("Bild zuschneiden...");
    FitLabel label(title, 9);
    QFont font = label.font();
    font.setPointSize(14);
    label.setFont(font);
    const int full = QFontMetrics(font).horizontalAdvance(title);
    label.show(); // a hidden label learns of its new width only when shown

    label.resize(full + 10, 40);
    EXPECT_EQ(label.font().pointSize(), 14);
    EXPECT_EQ(label.text(), title);
    EXPECT_TRUE(label.toolTip().isEmpty());

    label.resize(full * 3 / 4, 40); // too narrow for 14 points, wide enough for some size
    EXPECT_LT(label.font().pointSize(), 14);
    EXPECT_GE(label.font().pointSize(), 9);
    EXPECT_EQ(label.text(), title);
    EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(title), label.width());
    EXPECT_TRUE(label.toolTip().isEmpty());

    label.resize(full / 4, 40); // too narrow even at 9 points
    EXPECT_EQ(label.font().pointSize(), 9);
    EXPECT_TRUE(label.text().endsWith(QChar(0x2026))) << label.text().toStdString();
    EXPECT_EQ(label.toolTip(), title);
    EXPECT_EQ(label.FullText(), title);

    label.resize(full + 10, 40); // room again: the designed size comes back
    EXPECT_EQ(label.font().pointSize(), 14);
    EXPECT_EQ(label.text(), title);
    EXPECT_EQ(label.minimumSizeHint().width(), 0) << "the text never widens the window";
}

TEST(ElidingComboBox, ALongEntryIsElidedWithTheWholeTextInTheTooltipAndTheList)
{
    ElidingComboBox box;
    box.resize(145, 22);
    const QString longEntry =
        QStringLiteral("Alle Bilddateien (*.bmp;*.dib;*.png;*.jpg;*.jpeg;*.gif)");
    box.addItem(QStringLiteral("PNG-Bild"));
    box.addItem(longEntry);
    EXPECT_TRUE(box.toolTip().isEmpty());
    box.setCurrentIndex(1);
    EXPECT_EQ(box.toolTip(), longEntry);
    box.show();
    box.showPopup();
    EXPECT_GE(box.view()->width(), box.fontMetrics().horizontalAdvance(longEntry));
    box.hidePopup();
}

// Changes the application's language for the rest of the program run.
TEST(GermanInterface, QtsOwnTextsNumbersAndDatesAreGerman)
{
    ASSERT_TRUE(InstallGermanInterface(*qApp)) << "Qt's German translations are missing "
                                                  "(Debian: qt6-translations-l10n)";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    EXPECT_EQ(QLocale().language(), QLocale::German);
    EXPECT_EQ(QLocale().toString(1.5, 'f', 1), QStringLiteral("1,5"));
}

} // namespace
