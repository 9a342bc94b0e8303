// The frame around the pages: its keys, its title and status text, its hints,
// and where the window opens.
#include "MainWindowFixture.h"

#include "DialogAnswer.h"
#include "UserInput.h"
#include "app/FrameTexts.h"
#include "app/HelpForm.h"
#include "app/WindowPlacement.h"
#include "imagora/DibWriter.h"
#include "io/FileList.h"
#include "toolkit/PaintBox.h"
#include "toolkit/StatusBar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScreen>
#include <QTabWidget>

namespace {

using Frame = MainWindowTest;

TEST_F(Frame, EachKeyDoesItsJobOnThePagesItServes)
{
    ShowWindow();
    boxes.reset();
    boxes = std::make_unique<MessageBoxRecorder>(IDCANCEL); // the closing question: stay
    struct Row {
        QKeyCombination key;
        QWidget* TMainForm::*page; // shown when the key is pressed
        std::string happened;
        bool undoFirst = false; // something to redo
    };
    const Row rows[] = {
        {Qt::CTRL | Qt::Key_O, &TMainForm::TabSheet4, "open page, file list focused"},
        {Qt::CTRL | Qt::Key_S, &TMainForm::TabSheet2, "dialog QFileDialog"},
        {Qt::CTRL | Qt::Key_P, &TMainForm::TabSheet1, "dialog TPrintForm"},
        {Qt::CTRL | Qt::Key_Q, &TMainForm::TabSheet3,
         "asked: Die Änderungen am Bild wurden nicht gespeichert.\n\nHiermit beenden Sie das "
         "Programm!"},
        {QKeyCombination(Qt::Key_F1), &TMainForm::TabSheet5, "help shown"},
        {Qt::CTRL | Qt::Key_Z, &TMainForm::TabSheet3, "undone"},
        {Qt::CTRL | Qt::Key_Z, &TMainForm::TabSheet5, ""}, // no undo beside before and after
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, &TMainForm::TabSheet3, "redone", true},
        {Qt::CTRL | Qt::Key_Y, &TMainForm::TabSheet3, "redone", true},
        {Qt::CTRL | Qt::Key_Y, &TMainForm::TabSheet5, "", true},
    };
    for (const Row& row : rows) {
        form->PageControl2->setCurrentWidget(form.get()->*row.page);
        QApplication::setActiveWindow(form.get());
        form->PageControl2->tabBar()->setFocus();
        form->ApplyStep(CorrectStep(kModeHelligkeit, 1, 8)); // something to undo
        if (row.undoFirst)
            form->UndoBtn1Click();
        const int current = form->Steps().Current();
        boxes->shown.clear();
        std::string happened;
        const auto say = [&](const std::string& what) {
            happened += (happened.empty() ? "" : ", ") + what;
        };
        {
            DialogAnswer answer([&](QDialog& dialog) {
                say(std::string("dialog ") + dialog.metaObject()->className());
                return int(QDialog::Rejected);
            });
            PressKey(form.get(), row.key.key(), row.key.keyboardModifiers());
        }
        if (form->PageControl2->currentWidget() != form.get()->*row.page)
            say("open page");
        if (QApplication::focusWidget() == form->JamShellList1)
            say("file list focused");
        for (const MessageBoxRequest& box : boxes->shown)
            say("asked: " + box.text);
        if (auto* help = form->findChild<THelpForm*>(); help && help->isVisible()) {
            say("help shown");
            help->close();
        }
        if (form->Steps().Current() < current)
            say("undone");
        if (form->Steps().Current() > current)
            say("redone");
        EXPECT_EQ(happened, row.happened) << QKeySequence(row.key).toString().toStdString();
    }
    EXPECT_TRUE(form->isVisible());
    boxes.reset();
    boxes = std::make_unique<MessageBoxRecorder>(IDOK);
}

TEST_F(Frame, TitleNamesTheFileAndTheStatusBarTheWorkingImage)
{
    const auto Status = [&] { return form->StatusBar1->PanelText(0); };
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Norvane Kelvora 1.0"));
    EXPECT_EQ(Status(), QStringLiteral("320 × 240 Pixel, 24 Bit"));
    ShowWindow();
    const QImage bar = form->StatusBar1->grab().toImage();
    int inked = 0; // the text is drawn over the canvas, not on it
    for (int x = 0; x < form->StatusBar1->PanelRect(0).right; ++x)
        inked += qGray(bar.pixel(x, bar.height() / 2)) < 100;
    EXPECT_GT(inked, 0);

    const std::string path = programDir + "urlaub 2024.bmp";
    {
        DibGuard grey(MakeDib(40, 30, 8, [](int x, int) { return unsigned(x); }));
        ASSERT_TRUE(WriteDibFile(grey.dib, path));
    }
    form->OpenFileNow(path);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("urlaub 2024.bmp - Norvane Kelvora 1.0"));
    EXPECT_EQ(Status(), QStringLiteral("40 × 30 Pixel, 8 Bit"));

    form->InstallScanned(MakeDib(12, 7, 1, [](int, int) { return 0u; }), {}, 1);
    EXPECT_EQ(Status(), QStringLiteral("12 × 7 Pixel, 1 Bit"));
    EXPECT_EQ(PictureSizeText(TDibRecord{}), "") << "a picture that could not be made";
}

TEST_F(Frame, EveryButtonAndPictureOfTheFrameAndTheLastTwoPagesHasAHint)
{
    for (QWidget* area : {form->Panel7, form->TabSheet4, form->TabSheet5})
        for (QWidget* w : area->findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractButton*>(w) && !dynamic_cast<PaintBox*>(w))
                continue;
            // a widget without a hint of its own shows its nearest parent's
            QString hint;
            for (QWidget* p = w; hint.isEmpty() && p != area; p = p->parentWidget())
                hint = p->toolTip();
            EXPECT_FALSE(hint.isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
    for (int i = 0; i < form->PageControl2->count(); ++i)
        EXPECT_FALSE(form->PageControl2->tabToolTip(i).isEmpty()) << "tab " << i;
    EXPECT_EQ(form->PaintBox2->toolTip(),
              QStringLiteral("Klicken Sie hier, um das Bild in voller Größe anzusehen"));
}

TEST_F(Frame, TheWindowOpensWhereItWasLeftAndAsItWasLeft)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect left(area.x() + 10, area.y() + 20, area.width() / 2, area.height() / 2);
    for (bool maximised : {false, true}) {
        QWidget before;
        before.setGeometry(left);
        if (maximised)
            before.showMaximized();
        StoreMainWindowPlacement(before);
        QWidget after;
        ShowMainWindow(after);
        EXPECT_EQ(after.normalGeometry(), left);
        EXPECT_EQ(after.isMaximized(), maximised);
    }
}

} // namespace
