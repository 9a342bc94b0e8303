#include "quorscan/ScannerListDialog.h"

#include "quorscan/SaneGerman.h"
#include "quorscan/SaneWait.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QString Utf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
} // namespace

std::optional<FoundScanners> SearchForScanners(QWidget* parent)
{
    return WaitForSaneResult<FoundScanners>(
        parent,
        QStringLiteral("Es wird nach Scannern gesucht …\nScanner im Netzwerk brauchen dafür "
                       "einige Sekunden."),
        [] {
            FoundScanners found;
            found.devices = ListScanDevices(found.error);
            return found;
        });
}

TScannerListDialog::TScannerListDialog(const std::string& current, FoundScanners found,
                                       QWidget* parent)
    : QDialog(parent), current_(current)
{
    setWindowTitle(QStringLiteral("Scanner wählen"));
    resize(560, 300);
    auto* layout = new QVBoxLayout(this);
    HintLabel = new QLabel(this);
    HintLabel->setWordWrap(true);
    layout->addWidget(HintLabel);

    DeviceList = new QTreeWidget(this);
    DeviceList->setHeaderLabels({QStringLiteral("Hersteller"), QStringLiteral("Modell"),
                                 QStringLiteral("Art"), QStringLiteral("Gerät")});
    DeviceList->setRootIsDecorated(false);
    DeviceList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    DeviceList->setToolTip(
        QStringLiteral("Die Scanner, die SANE gefunden hat; ein Doppelklick wählt einen aus"));
    connect(DeviceList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(DeviceList, 1);

    auto* buttons = new QDialogButtonBox(this);
    SearchBtn = buttons->addButton(QStringLiteral("Neu suchen"), QDialogButtonBox::ActionRole);
    SearchBtn->setToolTip(QStringLiteral(
        "Sucht noch einmal nach Scannern, etwa nachdem Sie einen angeschlossen haben"));
    OkBtn = buttons->addButton(QStringLiteral("Auswählen"), QDialogButtonBox::AcceptRole);
    OkBtn->setToolTip(QStringLiteral("Holt die nächsten Bilder vom markierten Scanner"));
    CancelBtn = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    CancelBtn->setToolTip(QStringLiteral("Schließt die Liste; der bisherige Scanner bleibt"));
    connect(SearchBtn, &QPushButton::clicked, this, [this] { Search(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(DeviceList, &QTreeWidget::currentItemChanged, this,
            [this] { OkBtn->setEnabled(Chosen() != nullptr); });
    layout->addWidget(buttons);
    ShowFound(std::move(found));
}

void TScannerListDialog::Search()
{
    if (std::optional<FoundScanners> found = SearchForScanners(this))
        ShowFound(std::move(*found));
}

void TScannerListDialog::ShowFound(FoundScanners found)
{
    devices_ = std::move(found.devices);
    DeviceList->clear();
    for (const ScanDeviceInfo& d : devices_) {
        auto* item = new QTreeWidgetItem(DeviceList, {Utf8(d.vendor), Utf8(d.model),
                                                      Utf8(SaneDeviceType(d.type)), Utf8(d.name)});
        if (d.name == current_ || !DeviceList->currentItem())
            DeviceList->setCurrentItem(item);
    }
    if (!found.error.empty())
        HintLabel->setText(Utf8(found.error));
    else if (devices_.empty())
        HintLabel->setText(QStringLiteral(
            "Es wurde kein Scanner gefunden. Bitte schließen Sie den Scanner an, schalten Sie ihn "
            "ein und klicken Sie auf „Neu suchen“. Welche Scanner das System erkennt, zeigt der "
            "Befehl „scanimage -L“ aus dem Paket sane-utils."));
    else
        HintLabel->setText(
            QStringLiteral("Wählen Sie das Gerät, von dem das Bild geholt werden soll:"));
    OkBtn->setEnabled(Chosen() != nullptr);
}

const ScanDeviceInfo* TScannerListDialog::Chosen() const
{
    const int row = DeviceList->indexOfTopLevelItem(DeviceList->currentItem());
    return row >= 0 && row < int(devices_.size()) ? &devices_[std::size_t(row)] : nullptr;
}
