#include "toolkit/ImageBtn.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

TEST(ImageButton, ShowsItsSecondPictureWhileHeld)
{
    TImageBtn button;
    QPixmap picture(20, 10);
    button.SetPicture(picture);
    button.SetPicture2(picture);
    EXPECT_EQ(button.size(), QSize(20, 10)) << "sizes itself to its picture";
    int clicks = 0;
    bool secondAtClick = true;
    button.OnClick = [&] {
        ++clicks;
        secondAtClick = button.ShowsPicture2();
    };
    Mouse(&button, QEvent::MouseButtonPress, {5, 5});
    EXPECT_TRUE(button.ShowsPicture2());
    Mouse(&button, QEvent::MouseMove, {30, 5});
    EXPECT_FALSE(button.ShowsPicture2()) << "pointer left while held";
    Mouse(&button, QEvent::MouseMove, {6, 6});
    EXPECT_TRUE(button.ShowsPicture2()) << "pointer came back";
    Mouse(&button, QEvent::MouseButtonRelease, {6, 6});
    EXPECT_FALSE(button.ShowsPicture2());
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(secondAtClick) << "the normal picture is back before the click fires";

    Mouse(&button, QEvent::MouseButtonPress, {5, 5});
    Mouse(&button, QEvent::MouseButtonRelease, {40, 5});
    EXPECT_EQ(clicks, 1) << "released outside: no click";
}

} // namespace
