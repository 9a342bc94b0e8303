// The main window's life cycle, closing, page flow, progress panel and history.
#include "app/MainUnit.h"

#include "app/AboutBox.h"
#include "app/FrameTexts.h"
#include "app/HistoryList.h"
#include "app/HistoryTexts.h"
#include "imagora/Imagora.h"
#include "quorscan/ScannedPictures.h"
#include "toolkit/MessageBox.h"
#include "toolkit/PaintBox.h"
#include "toolkit/Shell.h"
#include "toolkit/StatusBar.h"
#include "toolkit/WaitCursor.h"
#include "toolkit/WindowMessages.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>


void TMainForm::FormCreate()
{
    const std::size_t slash = programPath_.find_last_of('/');
    ProgramDir = slash == std::string::npos ? std::string("./") : programPath_.substr(0, slash + 1);
    CreateStartPictures();
    SplitPercent = 50;
    FillFilterList();
    LoadPrefFolders();
    SelectStartFolder(); // the program's own folder holds no photos
}

void TMainForm::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    if (arrival_.Pending())
        deldib(arrival_.Take());
    DiscardScannedPictures(); // scans whose message never arrived
    Release();
}

bool TMainForm::FormCloseQuery()
{
    if (PictureDiffersFromFile())
        return MessageBox(kUnsavedChanges + "\n\nHiermit beenden Sie das Programm!",
                          "Programm beenden", MB_OKCANCEL | MB_ICONWARNING) == IDOK;
    return MessageBox("Hiermit beenden Sie das Programm!", "Programm beenden",
                      MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

bool TMainForm::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::EventType()) {
        const auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->Message() == WM_USER)
            WMUser(message->WParam());
        else if (message->Message() == WM_USER + 1)
            WMUser2(message->WParam());
        return true;
    }
    return QWidget::event(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event)
{
    if (!VariationKeyPress(*event))
        QWidget::keyPressEvent(event);
}

void TMainForm::PageControl2Change()
{
    AwaitPicture(); // the other pages draw and change the whole picture
    if (PageControl2->currentWidget() == TabSheet1) {
        SelectWholePicture();
        if (ScannedPhoto)
            CropRect = *ScannedPhoto;
        RetuschPaint->Repaint(); // the page showed before the selection was reset
    }
    MakeBeforePicture();
}

void TMainForm::DrawProgressBar(const RECT& rect)
{
    HDC dc = StatusBar1->Canvas();
    dc->SetBrush(RGB(0, 0, 128));
    dc->SetPen(RGB(0, 0, 128));
    const int right = rect.left + (rect.right - rect.left) * ProgressPercent / 100;
    dc->Rectangle(rect.left, rect.top, right, rect.bottom);
    progressDrawnRight_ = right;
}

void TMainForm::StatusBar1DrawPanel(TStatusBar*, int, const RECT& rect)
{
    DrawProgressBar(rect);
    ProgressRect = rect;
}

void TMainForm::SBarPaintMore()
{
    DrawProgressBar(ProgressRect);
    StatusBar1->ShowCanvasNow();
}

void TMainForm::SetProStatus(int Percent)
{
    // Only a change of the bar's drawn width is worth painting: a 6000-row
    // operation then costs one repaint per pixel of bar, not one per row.
    const int right = ProgressRect.left + (ProgressRect.right - ProgressRect.left) * Percent / 100;
    const bool lower = Percent < ProgressPercent;
    ProgressPercent = Percent;
    if (ProgressRect == RECT{} || right == progressDrawnRight_)
        return;
    // Each repaint reaches the screen at once, which costs far more than a
    // small operation's work (a grid rebuild reports some 1800 values in a
    // millisecond): paint again only when the last paint is old enough. The
    // closing 0 always shows, so no bar is left standing.
    if (Percent != 0 && !ProgressThrottle.Due())
        return;
    if (lower)
        StatusBar1->Repaint();
    else
        SBarPaintMore();
    ProgressThrottle.Painted();
}

void TMainForm::WMUser(std::intptr_t wParam)
{
    SetProStatus(int(wParam));
}

void TMainForm::setcursor_(Qt::CursorShape cursor)
{
    if (RetuschPaint->cursor().shape() != cursor)
        RetuschPaint->setCursor(cursor);
}

void TMainForm::wwwBtnClick()
{
    ShellOpen(kProductWebAddress);
}

void TMainForm::EndeBtnClick()
{
    close();
}

void TMainForm::ueberbtnClick()
{
    TAboutBox about(this);
    about.exec();
}

void TMainForm::RepaintWorkDib()
{
    MakeBeforePicture();
    for (PaintBox* pane : {DibPrevPaint, ScanPaintBox, RetuschPaint, PaintBox1, PaintBox2,
                           OldPaintBox, ErgPaintBox})
        pane->Repaint();
    ShowWorkDibFacts();
}

void TMainForm::ShowWorkDibFacts()
{
    setWindowTitle(QString::fromStdString(WindowCaption(FileName)));
    StatusBar1->SetPanelText(0, QString::fromStdString(PictureSizeText(WorkDib)));
}

bool TMainForm::ApplyStep(const Step& step)
{
    AwaitPicture();
    WaitCursor wait;
    const StepResult result = Apply(step, *this);
    if (result.Error.empty())
        return true;
    MessageBox(result.Error, {}, MB_OK | MB_ICONERROR);
    return false;
}

void TMainForm::UndoBtn1Click()
{
    AwaitPicture();
    WaitCursor wait;
    Undo(*this);
}

void TMainForm::RedoBtn1Click()
{
    AwaitPicture();
    WaitCursor wait;
    Redo(*this);
}

void TMainForm::ShowHistory()
{
    const History& steps = Steps();
    const QString undo = QString::fromStdString(UndoHint(steps));
    const QString redo = QString::fromStdString(RedoHint(steps));
    for (QPushButton* button : {UndoBtn1, UndoBtn2}) {
        button->setEnabled(steps.CanUndo());
        button->setToolTip(undo);
    }
    for (QPushButton* button : {RedoBtn1, RedoBtn2}) {
        button->setEnabled(steps.CanRedo());
        button->setToolTip(redo);
    }
    ShowHistoryList(HistoryList, HistoryLines(steps), steps.Current());
}

void TMainForm::HistoryListClick(int row)
{
    AwaitPicture();
    if (row == Steps().Current() || row < 0 || row >= Steps().Count())
        return;
    WaitCursor wait;
    GoTo(row, *this);
}
