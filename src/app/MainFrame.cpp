// The main window's frame: page control, banners, bottom bar and status bar.
#include "app/MainUnit.h"

#include "app/FrameTexts.h"
#include "app/KeyTable.h"
#include "app/PageFrame.h"
#include "geometry/ResizeForm.h"
#include "geometry/RotateForm.h"
#include "toolkit/Fonts.h"
#include "toolkit/ImageBtn.h"
#include "toolkit/StatusBar.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

const char* const kProductWebAddress = "https://www.norvane.example/kelvora";

TMainForm::TMainForm(const std::string& programPath, const std::string& startFile)
    : programPath_(programPath), startFile_(startFile)
{
    Q_INIT_RESOURCE(kelvora); // the pictures live in a static library
    setWindowTitle(QString::fromUtf8(kProductCaption));
    setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8));
    resize(622, 489);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    BuildFrame();
    Changed = [this] {
        ScannedPhoto.reset();
        RepaintWorkDib();
        ShowHistory();
    };
    FormCreate();
    // The dialogs after the window, in the order the program makes them, once
    // for the whole run.
    RotateForm = new TRotateForm(this);
    ResizeForm = new TResizeForm(this);
    CreateDepthForms();
    BindKeys(*this);
    ShowWorkDibFacts();
    ShowHistory();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::BuildFrame()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PageControl2 = new QTabWidget(this);
    PageControl2->setDocumentMode(true);
    PageControl2->tabBar()->setMouseTracking(true); // hot-tracked tabs
    TabSheet2 = BuildOpenPage();
    TabSheet3 = BuildScanPage();
    TabSheet1 = BuildCropPage();
    TabSheet4 = BuildOptimizePage();
    TabSheet5 = BuildResultPage();
    QWidget* pages[] = {TabSheet2, TabSheet3, TabSheet1, TabSheet4, TabSheet5};
    for (int i = 0; i < 5; ++i) {
        PageControl2->addTab(pages[i], QIcon(QString::fromUtf8(kPages[i].icon)),
                             QString::fromUtf8(kPages[i].caption));
        // as rich text, which hints wrap
        PageControl2->setTabToolTip(
            i, QStringLiteral("<p>%1</p>").arg(QString::fromUtf8(kPages[i].about).toHtmlEscaped()));
    }
    PageControl2->setIconSize(QSize(20, 20));
    PageControl2->setCurrentIndex(0);
    connect(PageControl2, &QTabWidget::currentChanged, this, [this] { PageControl2Change(); });
    layout->addWidget(PageControl2, 1);

    Panel7 = new QWidget(this);
    Panel7->setFixedHeight(41);
    auto* bottom = new QHBoxLayout(Panel7);
    bottom->setContentsMargins(8, 2, 8, 2);
    wwwBtn = new QPushButton(QStringLiteral("www.norvane.example"), Panel7);
    wwwBtn->setFlat(true);
    wwwBtn->setCursor(Qt::PointingHandCursor);
    wwwBtn->setToolTip(QStringLiteral("Auf zur Norvane Homepage..."));
    connect(wwwBtn, &QPushButton::clicked, this, [this] { wwwBtnClick(); });
    bottom->addWidget(wwwBtn);
    bottom->addStretch(1);
    // Recipes concern the whole way from crop to colours, so they are at hand on every page.
    RecipeBtn = new QPushButton(QStringLiteral("Rezept"), Panel7);
    RecipeBtn->setToolTip(QStringLiteral(
        "Die Schritte dieses Bildes als Rezept speichern und auf andere Bilder anwenden"));
    auto* recipes = new QMenu(RecipeBtn);
    recipes->addAction(QStringLiteral("Rezept speichern..."), this, [this] { SaveRecipeClick(); });
    recipes->addAction(QStringLiteral("Rezept anwenden..."), this, [this] { ApplyRecipeClick(); });
    recipes->addAction(QStringLiteral("Rezept auf mehrere Bilder anwenden..."), this,
                       [this] { BatchRecipeClick(); });
    RecipeBtn->setMenu(recipes);
    bottom->addWidget(RecipeBtn);
    ueberbtn = MakeImageButton(Panel7, "info", QStringLiteral("Informationen über das Programm"));
    ueberbtn->OnClick = [this] { ueberbtnClick(); };
    bottom->addWidget(ueberbtn);
    endebtn = MakeImageButton(Panel7, "exit", QStringLiteral("Hiermit verlassen Sie das Programm"));
    endebtn->OnClick = [this] { EndeBtnClick(); };
    bottom->addWidget(endebtn);
    layout->addWidget(Panel7);

    StatusBar1 = new TStatusBar(this);
    StatusBar1->OnDrawPanel = [this](TStatusBar* bar, int panel, const RECT& rect) {
        StatusBar1DrawPanel(bar, panel, rect);
    };
    StatusBar1->SetPanels({{250, false}, {50, true}});
    layout->addWidget(StatusBar1);
}
