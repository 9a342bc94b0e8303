// The open page: favourite folders, folder tree, file list, filter and
// preview; opening a file makes it the working image.
#include "app/MainUnit.h"

#include "app/PageFrame.h"
#include "app/PagePane.h"
#include "display/DrawFitted.h"
#include "imagora/FileFilter.h"
#include "imagora/Imagora.h"
#include "imagora/OpenDibFailure.h"
#include "io/FileList.h"
#include "io/FolderTree.h"
#include "io/PrefFolders.h"
#include "toolkit/ElidedText.h"
#include "toolkit/InputGate.h"
#include "toolkit/Fonts.h"
#include "toolkit/MessageBox.h"
#include "toolkit/PaintBox.h"
#include "toolkit/WaitCursor.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>
#include <QStandardPaths>
#include <QTreeView>
#include <QVBoxLayout>

#include <filesystem>
#include <optional>

namespace {

// The masks of entry i of a "description|mask|..." filter text.
QStringList FilterMasks(const QString& filter, int entry)
{
    const std::vector<FilterEntry> entries = ParseFileFilter(filter.toStdString());
    if (entry < 0 || std::size_t(entry) >= entries.size())
        return {QStringLiteral("*")};
    QStringList masks =
        QString::fromStdString(entries[std::size_t(entry)].masks).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& mask : masks)
        if (mask == QLatin1String("*.*"))
            mask = QStringLiteral("*"); // every file, with or without an extension
    return masks;
}

QString Local(const std::string& s)
{
    return QString::fromLocal8Bit(s.data(), qsizetype(s.size()));
}
std::string Local(const QString& s)
{
    return s.toLocal8Bit().toStdString();
}

// A folder as the favourites hold it: its full path ending in "/".
std::string FolderEntry(const QString& folder)
{
    return Local(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

std::vector<std::string> Entries(const QListWidget* list)
{
    std::vector<std::string> entries;
    for (int i = 0; i < list->count(); ++i)
        entries.push_back(Local(list->item(i)->text()));
    return entries;
}

} // namespace

QWidget* TMainForm::BuildOpenPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MakeBanner(
        QStringLiteral("Bild öffnen - wählen Sie die zu bearbeitende Bild-Datei aus"), page));

    auto* favourites = new QWidget(page);
    favourites->setFixedHeight(33);
    auto* favLayout = new QHBoxLayout(favourites);
    favLayout->setContentsMargins(0, 0, 0, 0);
    favLayout->setSpacing(0);
    auto* favLabel = new QLabel(QStringLiteral("Lieblings Ordner:"), favourites);
    favLabel->setFixedWidth(121);
    favLabel->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8, true));
    favLabel->setAlignment(Qt::AlignCenter);
    SetBackground(favLabel, kSkyBlue);
    favLayout->addWidget(favLabel);
    PrefListBox = new QListWidget(favourites);
    PrefListBox->setToolTip(QStringLiteral(
        "Lieblingsordner, der zuletzt benutzte zuerst.\nDoppelklick oder Eingabetaste zeigt den "
        "Ordner, Entf nimmt ihn aus der Liste."));
    PrefListBox->setUniformItemSizes(true);
    PrefListBox->setStyleSheet(QStringLiteral("QListWidget::item { height: 13px; }"));
    connect(PrefListBox, &QListWidget::itemDoubleClicked, this, [this] { PrefListBoxDblClick(); });
    PrefListBox->installEventFilter(this);
    favLayout->addWidget(PrefListBox);
    layout->addWidget(favourites);

    auto* main = new QWidget(page);
    auto* mainLayout = new QHBoxLayout(main);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    auto* splitter = new QSplitter(Qt::Horizontal, main);
    splitter->setHandleWidth(3);
    const QFont shellFont = DesignFont(QStringLiteral("Segoe UI"), 9);

    JamShellTree1 = new FolderTree(splitter);
    JamShellTree1->setFont(shellFont);
    JamShellTree1->setToolTip(QStringLiteral(
        "Ordner wählen.\nRechtsklick nimmt einen Ordner in die Lieblingsordner auf."));
    splitter->addWidget(JamShellTree1);

    JamShellList1Model = new FileListModel(this);
    JamShellList1Model->setNameFilterDisables(false); // hide what the filter leaves out
    JamShellList1Model->setReadOnly(false);           // names can be edited (F2)
    JamShellList1 = new FileList(splitter);
    JamShellList1->setFont(shellFont);
    JamShellList1->setToolTip(QStringLiteral(
        "Doppelklick oder Eingabetaste öffnet das Bild.\nRechtsklick nimmt den Ordner in die "
        "Lieblingsordner auf."));
    JamShellList1->setModel(JamShellList1Model);
    JamShellList1->setRootIsDecorated(false);
    JamShellList1->setItemsExpandable(false);
    JamShellList1->setSortingEnabled(true);
    JamShellList1->sortByColumn(0, Qt::AscendingOrder);
    JamShellList1->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::SelectedClicked);
    JamShellList1->header()->setSectionResizeMode(QHeaderView::Interactive);
    // Name and size side by side at the design size (a long name is cut short
    // with its whole text in the tooltip); the other columns as wide as what
    // they show.
    const QFontMetrics metrics(shellFont);
    JamShellList1->setColumnWidth(0, 130);
    JamShellList1->setColumnWidth(1, metrics.horizontalAdvance(QStringLiteral("1023 Bytes")) + 16);
    JamShellList1->setColumnWidth(2,
                                  metrics.horizontalAdvance(QStringLiteral("Windows-Bitmap")) + 16);
    JamShellList1->setColumnWidth(3,
                                  metrics.horizontalAdvance(QStringLiteral("28.08.26 23:59")) + 16);
    JamShellList1->installEventFilter(this);
    connect(JamShellList1, &QTreeView::doubleClicked, this, [this] { JamShellList1DblClick(); });
    splitter->addWidget(JamShellList1);
    const std::initializer_list<QAbstractItemView*> menuViews = {JamShellTree1, JamShellList1,
                                                                 PrefListBox};
    for (QAbstractItemView* view : menuViews) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            if (const std::unique_ptr<QMenu> menu = FolderMenu(view, at))
                menu->exec(view->viewport()->mapToGlobal(at));
        });
    }
    splitter->setSizes({209, 400});
    splitter->setStretchFactor(1, 1);
    connect(JamShellTree1, &FolderTree::FolderSelected, this, [this](const QString& path) {
        JamShellList1->setRootIndex(JamShellList1Model->setRootPath(path));
        // What was chosen in the folder left behind must not open from this one.
        JamShellList1->selectionModel()->clear();
    });
    mainLayout->addWidget(splitter, 1);

    auto* previewPanel = new QWidget(main);
    previewPanel->setFixedWidth(182);
    auto* previewLayout = new QVBoxLayout(previewPanel);
    previewLayout->setContentsMargins(4, 4, 4, 4);
    previewLayout->addWidget(new QLabel(QStringLiteral("Preview:"), previewPanel));
    QWidget* frame = nullptr;
    DibPrevPaint = MakePicturePane(previewPanel, &frame, 2);
    DibPrevPaint->setToolTip(
        QStringLiteral("Zeigt eine Vorschau des geladenen Bildes.\nEin Doppelklick auf eine "
                       "Bilddatei in der Liste lädt sie als neues Bild."));
    DibPrevPaint->OnPaint = [this] { DibPrevPaintPaint(); };
    previewLayout->addWidget(frame, 1);
    mainLayout->addWidget(previewPanel);
    layout->addWidget(main, 1);

    auto* bottom = new QWidget(page);
    bottom->setFixedHeight(41);
    FilterComboBox1 = new ElidingComboBox(bottom);
    FilterComboBox1->setGeometry(280, 9, 145, 22);
    FilterComboBox1->setProperty("filter", QStringLiteral("Alle Dateien (*.*)|*.*"));
    connect(FilterComboBox1, &QComboBox::currentIndexChanged, this,
            [this] { FilterComboBox1Change(); });
    layout->addWidget(bottom);

    setAcceptDrops(true);
    return page;
}

void TMainForm::FillFilterList()
{
    const QString filter = QString::fromUtf8(GetDIBOpenFilter());
    FilterComboBox1->setProperty("filter", filter);
    const QSignalBlocker quiet(FilterComboBox1);
    FilterComboBox1->clear();
    for (const FilterEntry& entry : ParseFileFilter(GetDIBOpenFilter()))
        FilterComboBox1->addItem(QString::fromStdString(entry.description));
    FilterComboBox1->setCurrentIndex(0);
    FilterComboBox1Change();
}

void TMainForm::FilterComboBox1Change()
{
    if (FilterComboBox1->count() == 0) {
        JamShellList1Model->setNameFilters({QStringLiteral("*")});
        return;
    }
    if (FilterComboBox1->currentIndex() < 0) {
        const QSignalBlocker quiet(FilterComboBox1);
        FilterComboBox1->setCurrentIndex(FilterComboBox1->count() - 1);
    }
    JamShellList1Model->setNameFilters(FilterMasks(FilterComboBox1->property("filter").toString(),
                                                   FilterComboBox1->currentIndex()));
}

void TMainForm::SelectStartFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    JamShellTree1->SelectFolder(Local(
        StartFolder(startFile_, Entries(PrefListBox), Local(pictures), Local(QDir::homePath()))));
}

void TMainForm::LoadPrefFolders()
{
    // The user's own list: the program's folder is shared by every user and
    // seldom writable. A list an older version kept there is taken over.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    PrefFoldersPath = Local(data) + "/folders.dat";
    PrefListBox->clear();
    for (const std::string& entry :
         ReadPrefFolders(TakeOverPrefFolders(ProgramDir + "folders.dat", PrefFoldersPath)))
        PrefListBox->addItem(Local(entry));
}

void TMainForm::JamShellList1DblClick()
{
    const QModelIndexList selected = JamShellList1->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const QModelIndex item = selected.first();
    if (JamShellList1Model->isDir(item)) {
        // the list's default action on a folder: open it, tree and list alike
        JamShellTree1->SelectFolder(JamShellList1Model->filePath(item));
        return;
    }
    // The list's own path of the item: the tree may have moved on since.
    const QFileInfo file = JamShellList1Model->fileInfo(item);
    if (file.absoluteDir().exists()) // a folder removed meanwhile is no favourite
        AddToPrefFolders(FolderEntry(file.absolutePath()));
    OpenFileNow(Local(file.absoluteFilePath()));
}

bool TMainForm::JamShellList1KeyPress(int key)
{
    if (JamShellList1->IsEditing())
        return false;
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    JamShellList1DblClick();
    return true;
}

void TMainForm::AddToPrefFolders(const std::string& Folder)
{
    std::vector<std::string> entries = Entries(PrefListBox);
    PutPrefFolderFirst(entries, Folder);
    PrefListBox->clear();
    for (const std::string& entry : entries)
        PrefListBox->addItem(Local(entry));
    PrefListBox->scrollToTop();                 // where the folder now is
    WritePrefFolders(PrefFoldersPath, entries); // an unwritable list is skipped silently
}

void TMainForm::PrefListBoxDblClick()
{
    const int index = PrefListBox->currentRow();
    // An empty line would mean the working folder: it leads nowhere the user chose.
    if (index >= 0 && index < PrefListBox->count() && !PrefListBox->item(index)->text().isEmpty())
        JamShellTree1->SelectFolder(PrefListBox->item(index)->text());
}

bool TMainForm::PrefListBoxKeyPress(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        PrefListBoxDblClick(); // the key goes on to the list
    if (key != Qt::Key_Delete)
        return false;
    RemovePrefFolder(PrefListBox->currentRow());
    return true;
}

void TMainForm::RemovePrefFolder(int index)
{
    if (index < 0 || index >= PrefListBox->count())
        return;
    delete PrefListBox->takeItem(index);
    WritePrefFolders(PrefFoldersPath, Entries(PrefListBox)); // unwritable: skipped silently
}

std::unique_ptr<QMenu> TMainForm::FolderMenu(QAbstractItemView* view, const QPoint& at)
{
    auto menu = std::make_unique<QMenu>(view);
    if (view == PrefListBox) {
        const int row = PrefListBox->indexAt(at).row();
        if (row < 0)
            return nullptr;
        menu->addAction(QStringLiteral("Aus Lieblingsordnern entfernen"), this,
                        [this, row] { RemovePrefFolder(row); });
        return menu;
    }
    const QString folder =
        view == JamShellTree1 ? JamShellTree1->FolderAt(at) : JamShellList1->FolderAt(at);
    if (folder.isEmpty())
        return nullptr;
    menu->addAction(QStringLiteral("Zu Lieblingsordnern hinzufügen"), this,
                    [this, entry = FolderEntry(folder)] { AddToPrefFolders(entry); });
    return menu;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == JamShellList1)
            return JamShellList1KeyPress(key);
        if (watched == PrefListBox)
            return PrefListBoxKeyPress(key);
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::OpenFileNow(const std::string& Path)
{
    AwaitPicture(); // a file still arriving comes first
    std::optional<WaitCursor> wait(std::in_place);
    TDibRecord loaded, preview;
    // Regular files only: opening a FIFO waits for a writer that may never
    // come, and a device may never end.
    std::error_code ec;
    if (std::filesystem::is_regular_file(Path, ec)) {
        const qreal scale = DibPrevPaint->CanvasScale();
        if (!DibPrevPaint->isVisible() ||
            !OpenDibReduced(&preview, Path.c_str(), int(DibPrevPaint->width() * scale),
                            int(DibPrevPaint->height() * scale)))
            OpenDib(&loaded, Path.c_str(), 0, this);
    }
    wait.reset(); // message boxes come with the normal cursor
    if (!loaded.Bits && !preview.Bits) {
        // Nothing changes, and the user learns why: else the old picture
        // stays as if it were the new one.
        MessageBox(OpenDibFailure(Path), "Bild öffnen", MB_OK | MB_ICONWARNING);
        return;
    }
    if (PictureDiffersFromFile() &&
        MessageBox(kUnsavedChanges + "\n\nSoll trotzdem „" + Path + "“ geöffnet werden?",
                   "Bild öffnen", MB_OKCANCEL | MB_ICONWARNING) != IDOK) {
        deldib(loaded);
        deldib(preview);
        return;
    }
    if (preview.Bits) {
        arrival_.Start(Path, preview, [this] {
            QMetaObject::invokeMethod(
                this, [this] { if (arrival_.Ready()) AwaitPicture(); }, Qt::QueuedConnection);
        });
        if (!arrivalGate_)
            arrivalGate_ = new InputGate(this, [this] { AwaitPicture(); });
        arrivalGate_->Install();
        DibPrevPaint->Repaint();
        return;
    }
    wait.emplace();
    InstallOpened(loaded, Path);
}

bool TMainForm::AwaitPicture()
{
    if (!arrival_.Pending())
        return true;
    arrivalGate_->Remove();
    std::optional<WaitCursor> wait;
    if (!arrival_.Ready())
        wait.emplace();
    const std::string path = arrival_.Path();
    const TDibRecord picture = arrival_.Take();
    if (picture.Bits) {
        InstallOpened(picture, path);
        return true;
    }
    wait.reset();
    DibPrevPaint->Repaint(); // the picture as it was, not the preview
    MessageBox(OpenDibFailure(path), "Bild öffnen", MB_OK | MB_ICONWARNING);
    return false;
}

void TMainForm::DibPrevPaintPaint()
{
    DrawFitted(DibPrevPaint->Canvas(), DibPrevPaint->width(), DibPrevPaint->height(),
               arrival_.Pending() ? arrival_.Preview() : WorkDib);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        OpenFileNow(Local(urls.first().toLocalFile()));
}
