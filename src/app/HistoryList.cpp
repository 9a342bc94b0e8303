#include "app/HistoryList.h"

#include <QListWidget>
#include <QSignalBlocker>

QListWidget* MakeHistoryList(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setToolTip(QStringLiteral("Die Schritte seit dem Öffnen des Bildes: ein Klick kehrt "
                                    "zum Bild nach diesem Schritt zurück"));
    return list;
}

void ShowHistoryList(QListWidget* list, const std::vector<std::string>& lines, int current)
{
    const QSignalBlocker quiet(list); // only the user's clicks move in the history
    while (list->count() > int(lines.size()))
        delete list->takeItem(list->count() - 1);
    const QColor later = list->palette().color(QPalette::Disabled, QPalette::Text);
    for (int i = 0; i < int(lines.size()); ++i) {
        if (i == list->count())
            list->addItem(QString());
        QListWidgetItem* item = list->item(i);
        item->setText(QString::fromStdString(lines[std::size_t(i)]));
        QFont font = list->font();
        font.setBold(i == current);
        item->setFont(font);
        item->setForeground(i > current ? later : list->palette().color(QPalette::Text));
    }
    list->setCurrentRow(current);
    list->scrollToItem(list->currentItem());
}
