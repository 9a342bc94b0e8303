#include "app/HelpForm.h"

#include "app/FrameTexts.h"
#include "app/KeyTable.h"
#include "toolkit/Fonts.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Row(const QString& term, const QString& text)
{
    return QStringLiteral("<tr><td style='padding-right:12px'><b>%1</b></td><td>%2</td></tr>")
        .arg(term.toHtmlEscaped(), text.toHtmlEscaped());
}

QString KeyName(QKeyCombination key)
{
    return QKeySequence(key).toString(QKeySequence::NativeText);
}

} // namespace

QString HelpText()
{
    QString text = QStringLiteral("<h3>Die Seiten</h3><table>");
    for (const PageInfo& page : kPages)
        text += Row(QString::fromUtf8(page.caption), QString::fromUtf8(page.about));
    text += QStringLiteral("</table><h3>Tasten</h3><table>");
    for (const KeyBinding& row : KeyBindings())
        if (row.help)
            text += Row(KeyName(row.key), QString::fromUtf8(row.help));
    // Qt's own page switching and the optimize page's keypad, outside the table
    text += Row(KeyName(Qt::CTRL | Qt::Key_Tab),
                QStringLiteral("Nächste Seite (mit Umschalt die vorige)"));
    text += Row(QStringLiteral("Ziffernblock 1–9"),
                QStringLiteral("Beim Optimieren: die Variante an dieser Stelle des Rasters"));
    text += QStringLiteral(
        "</table><h3>Befehlszeile</h3>"
        "<p><tt>kelvora-cli EINGABE [Operationen] -o AUSGABE</tt>: dasselbe ohne Fenster.<br>"
        "<tt>kelvora-cli --help</tt> zeigt alle Operationen und Dateiformate.</p>");
    return text;
}

THelpForm::THelpForm(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Hilfe - Kelvora"));
    setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8));
    auto* layout = new QVBoxLayout(this);
    HelpLabel = new QLabel(HelpText(), this);
    HelpLabel->setWordWrap(true);
    HelpLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    HelpLabel->setMinimumWidth(520);
    layout->addWidget(HelpLabel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
}

void ShowHelpWindow(QWidget* owner)
{
    auto* help = owner->findChild<THelpForm*>();
    if (!help)
        help = new THelpForm(owner);
    help->show();
    help->raise();
    help->activateWindow();
}
