#include "quorscan/ScanDialog.h"

#include "imagora/Imagora.h"
#include "quorscan/ScanOptionPanel.h"
#include "quorscan/ScanPreview.h"
#include "quorscan/ScanStatus.h"
#include "quorscan/ScannedPictures.h"
#include "toolkit/MessageBox.h"
#include "toolkit/WindowMessages.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>

#include <array>
#include <map>

namespace {

// The well-known options every frontend understands.
constexpr const char* kPreview = "preview";
constexpr const char* kResolution = "resolution";
constexpr std::array<const char*, 4> kArea = {"tl-x", "tl-y", "br-x", "br-y"};
constexpr double kPreviewDpi = 75;

double Number(const ScanValue& v)
{
    return std::holds_alternative<double>(v) ? std::get<double>(v) : 0;
}

// One group of settings per device; a network device's name holds slashes,
// which would nest groups.
QString SettingsGroup(const std::string& device)
{
    return QStringLiteral("TScanDialog/") +
           QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(device)));
}

// The last preview of each device, for as long as the program runs.
std::map<std::string, QImage>& Previews()
{
    static std::map<std::string, QImage> previews;
    return previews;
}

} // namespace

TScanDialog::TScanDialog(ScanDevice& device, QObject* receiver, const QString& title,
                         QWidget* parent)
    : QDialog(parent), device_(device), receiver_(receiver)
{
    setWindowTitle(title);
    resize(780, 540);
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    OptionsBox = new QScrollArea(this);
    OptionsBox->setWidgetResizable(true);
    OptionsBox->setMinimumWidth(360);
    OptionsBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    body->addWidget(OptionsBox);
    Preview = new TScanPreview(this);
    Preview->OnAreaChosen = [this](const QRectF& area) { ChooseArea(area); };
    body->addWidget(Preview, 1);
    layout->addLayout(body, 1);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setToolTip(QStringLiteral("Wie weit der laufende Scan ist"));
    layout->addWidget(ProgressBar);

    auto* buttons = new QHBoxLayout;
    PreviewBtn = new QPushButton(QStringLiteral("Vorschau"), this);
    PreviewBtn->setToolTip(
        QStringLiteral("Scannt die ganze Vorlage grob, um den Bereich zu wählen"));
    ScanBtn = new QPushButton(QStringLiteral("Scannen"), this);
    ScanBtn->setToolTip(QStringLiteral(
        "Scannt den gewählten Bereich mit diesen Einstellungen; das Bild wird zum Arbeitsbild"));
    ScanBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setToolTip(
        QStringLiteral("Hält einen laufenden Scan an; sonst schließt es das Fenster ohne Scan"));
    buttons->addWidget(PreviewBtn);
    buttons->addStretch(1);
    buttons->addWidget(ScanBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(PreviewBtn, &QPushButton::clicked, this, [this] { StartPreview(); });
    connect(ScanBtn, &QPushButton::clicked, this, [this] { StartScan(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] {
        if (Scanning())
            cancel_.Request(device_.Handle());
        else
            reject();
    });
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
    RestoreSettings();
    ReloadOptions();
    const auto preview = Previews().find(device_.Name());
    if (preview != Previews().end())
        Preview->SetPicture(preview->second);
}

TScanDialog::~TScanDialog()
{
    StopWorker();
}

void TScanDialog::RestoreSettings()
{
    QSettings settings;
    settings.beginGroup(SettingsGroup(device_.Name()));
    ScanSettings stored;
    for (const QString& name : settings.childKeys())
        stored.emplace_back(name.toStdString(), settings.value(name).toString().toStdString());
    RestoreScanSettings(device_.Handle(), stored);
}

void TScanDialog::StoreSettings()
{
    QSettings settings;
    settings.remove(SettingsGroup(device_.Name()));
    settings.beginGroup(SettingsGroup(device_.Name()));
    for (const auto& [name, value] : ReadScanSettings(device_.Handle()))
        settings.setValue(QString::fromStdString(name), QString::fromStdString(value));
}

void TScanDialog::ReloadOptions()
{
    options_ = ReadScanOptions(device_.Handle());
    // A control of the old panel may be calling us: it goes once the call
    // has returned, and says nothing more meanwhile.
    if (QWidget* old = OptionsBox->takeWidget()) {
        for (QWidget* control : old->findChildren<QWidget*>())
            control->blockSignals(true);
        old->deleteLater();
    }
    panel_ = BuildOptionPanel(
        device_.Handle(), options_,
        [this](const ScanOption& option, const ScanValue& value) { SetOption(option, value); },
        OptionsBox);
    OptionsBox->setWidget(panel_);
    ShowArea();
}

QWidget* TScanDialog::OptionControl(const QString& name) const
{
    return panel_ ? panel_->findChild<QWidget*>(name) : nullptr;
}

void TScanDialog::SetOption(const ScanOption& option, const ScanValue& value)
{
    SANE_Int info = 0;
    const SANE_Status status = SetScanValue(device_.Handle(), option, value, &info);
    if (status != SANE_STATUS_GOOD)
        MessageBox("Die Einstellung „" + SaneText(option.title).toStdString() +
                       "“ wurde nicht übernommen: " + ScanStatusMessage(status),
                   "Scannen", MB_OK | MB_ICONWARNING);
    // Other options may come or go, and a rounded value shows as the scanner took it.
    if (status != SANE_STATUS_GOOD || (info & (SANE_INFO_RELOAD_OPTIONS | SANE_INFO_INEXACT)))
        ReloadOptions();
    else
        ShowArea();
}

bool TScanDialog::SetByName(const char* name, const ScanValue& value)
{
    const ScanOption* option = FindScanOption(options_, name);
    if (!option || !option->Shown())
        return false;
    const bool ok = SetScanValue(device_.Handle(), *option, value) == SANE_STATUS_GOOD;
    options_ = ReadScanOptions(device_.Handle());
    return ok;
}

void TScanDialog::ShowArea()
{
    std::array<const ScanOption*, 4> area{};
    std::array<double, 4> value{};
    for (std::size_t i = 0; i < kArea.size(); ++i) {
        area[i] = FindScanOption(options_, kArea[i]);
        ScanValue v;
        if (!area[i] || !area[i]->Shown() || area[i]->constraint != SANE_CONSTRAINT_RANGE ||
            area[i]->max <= area[i]->min ||
            GetScanValue(device_.Handle(), *area[i], v) != SANE_STATUS_GOOD) {
            Preview->SetArea({}); // no area to choose, as on a hand scanner
            return;
        }
        value[i] = Number(v);
    }
    const double bedW = area[0]->max - area[0]->min, bedH = area[1]->max - area[1]->min;
    Preview->SetBedAspect(bedW / bedH);
    Preview->SetArea(
        QRectF(QPointF((value[0] - area[0]->min) / bedW, (value[1] - area[1]->min) / bedH),
               QPointF((value[2] - area[0]->min) / bedW, (value[3] - area[1]->min) / bedH))
            .normalized());
}

void TScanDialog::ChooseArea(const QRectF& fraction)
{
    const ScanOption* x = FindScanOption(options_, kArea[0]);
    const ScanOption* y = FindScanOption(options_, kArea[1]);
    if (!x || !y)
        return;
    const double bedW = x->max - x->min, bedH = y->max - y->min;
    const std::array<double, 4> mm = {
        x->min + fraction.left() * bedW, y->min + fraction.top() * bedH,
        x->min + fraction.right() * bedW, y->min + fraction.bottom() * bedH};
    for (std::size_t i = 0; i < kArea.size(); ++i)
        if (const ScanOption* o = FindScanOption(options_, kArea[i]))
            SetByName(kArea[i], NearestAllowed(*o, mm[i]));
    ReloadOptions();
}

void TScanDialog::StartPreview()
{
    if (Scanning())
        return;
    // The whole bed, coarse and quick; what the user had is put back after.
    beforePreview_.clear();
    auto change = [this](const char* name, double to) {
        const ScanOption* o = FindScanOption(options_, name);
        ScanValue before;
        if (!o || !o->Shown() || GetScanValue(device_.Handle(), *o, before) != SANE_STATUS_GOOD)
            return;
        beforePreview_.emplace_back(name, before);
        SetByName(name, NearestAllowed(*o, to));
    };
    change(kPreview, 1);
    if (const ScanOption* r = FindScanOption(options_, kResolution))
        change(kResolution,
               std::max(kPreviewDpi, r->constraint == SANE_CONSTRAINT_RANGE ? r->min : 0));
    for (std::size_t i = 0; i < kArea.size(); ++i)
        if (const ScanOption* o = FindScanOption(options_, kArea[i]))
            change(kArea[i], i < 2 ? o->min : o->max);
    Start(true);
}

void TScanDialog::StartScan()
{
    if (!Scanning())
        Start(false);
}

void TScanDialog::Start(bool preview)
{
    preview_ = preview;
    cancel_.Reset();
    done_ = false;
    percent_ = 0;
    SetBusy(true);
    const SANE_Handle device = device_.Handle();
    worker_ = std::thread([this, device] {
        result_ = AcquireScan(device, cancel_, [this](int percent) { percent_ = percent; });
        done_ = true;
    });
    poll_.start(30);
}

void TScanDialog::Poll()
{
    const int percent = percent_;
    if (percent < 0) {
        ProgressBar->setRange(0, 0); // the height is unknown: a busy bar
    } else {
        ProgressBar->setRange(0, 100);
        ProgressBar->setValue(percent);
    }
    if (done_)
        Finished();
}

void TScanDialog::Finished()
{
    poll_.stop();
    worker_.join();
    ScanResult result = result_;
    result_ = ScanResult{};
    SetBusy(false);
    if (preview_) {
        RestoreAfterPreview();
        if (result.picture.Bits) {
            Preview->SetPicture(DibToImage(result.picture));
            Previews()[device_.Name()] = Preview->Picture();
        }
        deldib(result.picture);
    } else if (result.picture.Bits) {
        const std::intptr_t id = KeepScannedPicture(result.picture);
        if (receiver_)
            PostWindowMessage(receiver_, WM_USER + 1, id);
        accept();
        return;
    }
    if (!result.error.empty())
        MessageBox(result.error, "Scannen", MB_OK | MB_ICONERROR);
}

void TScanDialog::StopWorker()
{
    if (!Scanning())
        return;
    poll_.stop();
    cancel_.Request(device_.Handle());
    worker_.join();
    deldib(result_.picture);
    result_ = ScanResult{};
    if (preview_)
        RestoreAfterPreview();
    SetBusy(false);
}

void TScanDialog::done(int result)
{
    // A preview's own settings are put back before they are remembered.
    StopWorker();
    StoreSettings();
    QDialog::done(result);
}

void TScanDialog::RestoreAfterPreview()
{
    // In reverse, so options that depend on others come back last.
    for (auto it = beforePreview_.rbegin(); it != beforePreview_.rend(); ++it)
        SetByName(it->first.c_str(), it->second);
    beforePreview_.clear();
    ReloadOptions();
}

void TScanDialog::SetBusy(bool busy)
{
    OptionsBox->setEnabled(!busy);
    Preview->setEnabled(!busy);
    PreviewBtn->setEnabled(!busy);
    ScanBtn->setEnabled(!busy);
    if (!busy) {
        ProgressBar->setRange(0, 100);
        ProgressBar->setValue(0);
        ScanBtn->setFocus(); // Enter scans, not cancels, once the buttons are back
    }
}
