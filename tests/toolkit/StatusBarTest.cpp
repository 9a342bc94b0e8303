#include "toolkit/StatusBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

namespace {

TEST(StatusBarTest, TextPanelsShowTheirTextWithinTheirBounds)
{
    TStatusBar bar;
    bar.SetPanels({{120, false}, {50, true}});
    bar.resize(200, 19);
    bar.show();
    QApplication::processEvents();
    const int textRight = bar.PanelRect(0).right;
    const struct {
        QString text;
        bool inked;
    } rows[] = {
        {QString(), false},
        {QStringLiteral("320 × 240 Pixel, 24 Bit"), true},
        {QString(80, QLatin1Char('W')), true}, // cut short at the panel's edge
    };
    for (const auto& row : rows) {
        bar.SetPanelText(0, row.text);
        bar.SetPanelText(1, QStringLiteral("owner-drawn panels show no text"));
        const QImage shown = bar.grab().toImage();
        int inside = 0, outside = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (qGray(shown.pixel(x, y)) < 100)
                    ++(x < textRight * shown.devicePixelRatio() ? inside : outside);
        EXPECT_EQ(inside > 0, row.inked) << row.text.toStdString();
        EXPECT_EQ(outside, 0) << row.text.toStdString();
    }
}

} // namespace
