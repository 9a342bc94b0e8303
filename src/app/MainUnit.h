// The main window: five pages of one photo's way from file to print, the
// bottom bar, the status bar with its progress panel, and the pictures every
// page works on.
#pragma once

#include "app/BeforeInRegister.h"
#include "app/PictureArrival.h"
#include "app/WorkingImage.h"
#include "correct/VariationGrid.h"
#include "geometry/CropSelection.h"
#include "toolkit/PaintThrottle.h"
#include "base/ProgressSink.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class PaintBox;
class TImageBtn;
class TStatusBar;
class QTabWidget;
class QPushButton;
class QComboBox;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QAbstractItemView;
class QTreeView;
class QFileSystemModel;
class FolderTree;
class FileList;
class TRadioGroup;
class QSpinBox;
class QKeyEvent;
class QScrollArea;
class TRotateForm;
class TResizeForm;
class TDepthChangeForm;
class TDepthDownForm;
class TSplitter;
class TViewPicForm;
class TBatchDialog;
class InputGate;

// The product's web page, opened by the web button and the about box.
extern const char* const kProductWebAddress;

// Said before closing or opening another file throws away unsaved changes.
inline const std::string kUnsavedChanges = "Die Änderungen am Bild wurden nicht gespeichert.";

class TMainForm final : public QWidget,
                        public ProgressSink,
                        public WorkingImage,
                        public CropSelection {
    Q_OBJECT
public:
    // programPath: the program file's full path (its folder becomes ProgramDir);
    // startFile: the file the program was started with, if any, whose folder
    // the open page shows.
    explicit TMainForm(const std::string& programPath, const std::string& startFile = {});
    ~TMainForm() override;

    // --- frame, page flow and progress
    std::string ProgramDir; // ends in "/"
    RECT ProgressRect{};    // the progress panel as last painted; zero before
    int ProgressPercent = 0;
    int SplitPercent = 50;
    // How often the progress panel may repaint while an operation runs.
    PaintThrottle ProgressThrottle{std::chrono::milliseconds(15)};

    QTabWidget* PageControl2 = nullptr;
    QWidget* TabSheet2 = nullptr; // open
    QWidget* TabSheet3 = nullptr; // scan
    QWidget* TabSheet1 = nullptr; // crop
    QWidget* TabSheet4 = nullptr; // optimize
    QWidget* TabSheet5 = nullptr; // save and print
    QWidget* Panel7 = nullptr;
    QPushButton* wwwBtn = nullptr;
    TImageBtn* ueberbtn = nullptr;
    TImageBtn* endebtn = nullptr;
    TStatusBar* StatusBar1 = nullptr;

    void FormCreate();
    void FormDestroy();
    bool FormCloseQuery();
    void PageControl2Change();
    void SetProStatus(int Percent) override;
    void StatusBar1DrawPanel(TStatusBar* bar, int panel, const RECT& rect);
    void SBarPaintMore();
    void WMUser(std::intptr_t wParam);
    void setcursor_(Qt::CursorShape cursor);
    void wwwBtnClick();
    void EndeBtnClick();
    void ueberbtnClick();

    // --- working image and undo
    // The working image's Changed hook: every pane showing WorkDib repaints
    // (hidden panes paint when they are shown).
    void RepaintWorkDib();
    // The title names the file, the status bar the working image's size.
    void ShowWorkDibFacts();
    // Applies a step built from the page's controls; a failure is shown, and
    // false returned.
    bool ApplyStep(const Step& step);
    // Every undo and redo button and key ends here.
    void UndoBtn1Click();
    void RedoBtn1Click();
    // The undo and redo buttons and the result page's list follow the
    // history; part of the Changed hook.
    void ShowHistory();

    // --- recipes: the bottom bar's "Rezept" menu, on every page
    QPushButton* RecipeBtn = nullptr;
    std::string RecipePath; // the recipe last saved or read; "" none
    // The steps since the picture was opened, up to the current one, to a file.
    void SaveRecipeClick();
    void ApplyRecipeClick();
    // Applies the recipe's steps one by one, each a step of the history; a
    // bad file or a step that fails is said and leaves the picture as it was.
    bool ApplyRecipeFile(const std::string& path);
    // The batch dialog, made on first use; it runs the command line beside
    // the program and leaves the window usable meanwhile.
    TBatchDialog* BatchDialog = nullptr;
    void BatchRecipeClick();

    // --- open page
    QListWidget* PrefListBox = nullptr;
    FolderTree* JamShellTree1 = nullptr;
    FileList* JamShellList1 = nullptr;
    QFileSystemModel* JamShellList1Model = nullptr;
    QComboBox* FilterComboBox1 = nullptr;
    PaintBox* DibPrevPaint = nullptr;
    // where the favourites are kept: the user's data folder
    std::string PrefFoldersPath;

    void JamShellList1DblClick();
    // true when the key was taken
    bool JamShellList1KeyPress(int key);
    void AddToPrefFolders(const std::string& Folder);
    void PrefListBoxDblClick();
    // true when the key was taken (Del removes the chosen favourite)
    bool PrefListBoxKeyPress(int key);
    // Removes a favourite by hand and writes the list.
    void RemovePrefFolder(int index);
    // What a right click at a point of the folder tree, the file list or the
    // favourites offers; none where there is nothing to offer.
    std::unique_ptr<QMenu> FolderMenu(QAbstractItemView* view, const QPoint& at);
    void FilterComboBox1Change();
    // On the open page a JPEG shows at once from a reduced decode while the
    // whole picture is decoded on a thread; every command waits for it.
    void OpenFileNow(const std::string& Path);
    // Makes a picture still arriving from its file the working image, waiting
    // for it with the wait cursor; a file that would not decode is said and
    // leaves the picture as it was. False then.
    bool AwaitPicture();
    void DibPrevPaintPaint();

    // --- scan page
    TImageBtn* TSetupBtn = nullptr;
    TImageBtn* ScanBtn = nullptr;
    QScrollArea* ScanScrollBox = nullptr;
    PaintBox* ScanPaintBox = nullptr;
    void TSetupBtnClick();
    void ScanBtnClick();
    // WM_USER + 1: a scanned picture is ready; wParam is its number.
    void WMUser2(std::intptr_t wParam);
    void ScanPaintBoxPaint();

    // --- crop page
    QPushButton* UndoBtn1 = nullptr;
    QPushButton* RedoBtn1 = nullptr;
    PaintBox* RetuschPaint = nullptr;
    void RetuschPaintPaint();

    // --- crop page: the selection and the geometry commands (geometry/)
    QWidget* RetuschScrollBox = nullptr; // the frame around RetuschPaint
    QPushButton* CutBtn = nullptr;
    QPushButton* MirrorHBtn = nullptr;
    QPushButton* MirrorVBtn = nullptr;
    QPushButton* RotateBtn = nullptr;
    QPushButton* SizeBtn = nullptr;
    // A photo laid on a scanner: selected, or levelled and cut out.
    QPushButton* FindPhotoBtn = nullptr;
    QPushButton* StraightenBtn = nullptr;
    // The proportion the selection keeps (remembered), and its size.
    QComboBox* CropProportionBox = nullptr;
    QLabel* CropSizeLabel = nullptr;
    // The dialogs are made once, right after the window, and live as long
    // as it does (its children).
    TRotateForm* RotateForm = nullptr;
    TResizeForm* ResizeForm = nullptr;
    void RetuschPaintMouseDown(int X, int Y);
    void RetuschPaintMouseMove(int X, int Y);
    void RetuschPaintMouseUp();
    void CutBtnClick();
    void MirrorHBtnClick();
    void MirrorVBtnClick();
    void RotateBtnClick();
    void SizeBtnClick();
    void FindPhotoBtnClick();
    // A photo laid on the scanner's glass is looked for as the scan arrives,
    // and the crop page offers it as its selection until the picture changes.
    void FindScannedPhoto();
    std::optional<RECT> ScannedPhoto;
    void StraightenBtnClick();
    void CropProportionBoxChange();

    // --- optimize page
    TRadioGroup* KModeBox = nullptr;
    QSpinBox* IntensEd = nullptr;
    PaintBox* PaintBox1 = nullptr;
    PaintBox* PaintBox2 = nullptr;
    QPushButton* UndoBtn2 = nullptr;
    QPushButton* RedoBtn2 = nullptr;
    void PaintBox1Paint();
    void PaintBox1MouseDown(int X, int Y);
    // Key 1..9 of the numeric keypad: a click on the cell where the key lies.
    // True when the key was taken.
    bool VariationKeyPress(const QKeyEvent& key);
    void PaintBox2Paint();
    void KModeBoxClick();
    void IntensEdChange();
    // the intensity as the operators take it
    int Intensity() const;
    // opens the picture viewer on the working image
    void PaintBox2MouseDown();
    QPushButton* AutoBtn = nullptr;
    // The automatic correction's picks, each a step of its own.
    void AutoBtnClick();
    // "Beschnitt zeigen": the cells mark what their variant clips; kept
    // between runs.
    QCheckBox* ClipCheck = nullptr;
    void ClipCheckClick();
    // The histogram of the current picture, or of the cell under the mouse.
    PaintBox* HistogramBox = nullptr;
    QLabel* HistogramLabel = nullptr;
    VariationHistograms GridHistograms; // of the grid's last rebuild
    int HoveredVariation = kNoVariation;
    void HistogramBoxPaint();
    void PaintBox1MouseMove(int X, int Y);
    // step: the hovered cell's, or kNoVariation for the current picture
    void ShowHistogramOf(int step);

    // --- result page
    QWidget* Panel4 = nullptr;
    QPushButton* SaveAsBtn = nullptr;
    QPushButton* PrintBtn = nullptr;
    QWidget* OldScrollBox = nullptr;
    PaintBox* OldPaintBox = nullptr;
    TSplitter* Splitter3 = nullptr;
    QWidget* ErgScrollBox = nullptr;
    PaintBox* ErgPaintBox = nullptr;
    void OldPaintBoxPaint();
    void ErgPaintBoxPaint();
    // The before pane shows the picture as opened rather than the one in
    // register with the working image; remembered between runs.
    QCheckBox* OrigUnchangedCheck = nullptr;
    BeforeInRegister BeforeRegister;
    // What the before pane shows: in register, unless the box is checked or
    // there is no picture to put in register (then the picture as opened).
    TDibRecord BeforePicture();
    // The picture in register, made when the history changed what shapes it.
    TDibRecord InRegister(ProgressSink& progress);
    // Makes the picture in register, with the wait cursor and the progress
    // bar, while the result page is shown.
    void MakeBeforePicture();
    // The picture viewer on the working image, with the before picture to
    // switch to; showing the before picture first when before.
    void ShowViewer(bool before);
    // a drag of the splitter ended
    void Splitter3Moved();
    // the result panel was resized
    void FormResize();
    void SaveAsBtnClick();
    void PrintBtnClick();
    // The steps since the picture was opened, the current one marked; a
    // click returns to the picture after that step.
    QListWidget* HistoryList = nullptr;
    void HistoryListClick(int row);

    // the picture viewer, made on first use
    TViewPicForm* ViewPicForm = nullptr;

    // --- colour depth: the crop page's "Farb-Anzahl..." and its two dialogs,
    // made once with the window and keeping their states while it lives
    TDepthChangeForm* DepthChangeForm = nullptr;
    TDepthDownForm* DepthDownForm = nullptr;
    void CreateDepthForms();
    void FTiefeBtnClick();
    // WorkDib raised to target bits, or reduced after the options dialog;
    // unchanged for pairs that are not converted.
    void DepthUpTo(int target);
    void DepthDownTo(int target);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Keys nothing else took, such as the keypad's digits on the optimize page.
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BuildFrame();
    QWidget* BuildOpenPage();
    QWidget* BuildScanPage();
    QWidget* BuildCropPage();
    QWidget* BuildCropButtons(QWidget* parent);
    QWidget* BuildCropProportionRow(QWidget* parent);
    QWidget* BuildOptimizePage();
    QWidget* BuildHistogramPanel(QWidget* parent);
    QWidget* BuildResultPage();

    void DrawProgressBar(const RECT& rect);
    // open page steps of FormCreate
    void FillFilterList();
    void LoadPrefFolders();
    void SelectStartFolder();

    PictureArrival arrival_;
    InputGate* arrivalGate_ = nullptr; // holds the user's input until the picture is there
    std::string programPath_;
    std::string startFile_;
    int progressDrawnRight_ = -1; // right edge of the bar last drawn; -1: none
    bool destroyed_ = false;
};
