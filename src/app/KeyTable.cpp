#include "app/KeyTable.h"

#include "app/HelpForm.h"
#include "app/MainUnit.h"
#include "io/FileList.h"

#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

namespace {

const KeyBinding kKeys[] = {
    {Qt::CTRL | Qt::Key_O, nullptr,
     [](TMainForm& f) {
         f.PageControl2->setCurrentWidget(f.TabSheet2);
         f.JamShellList1->setFocus(Qt::ShortcutFocusReason);
     },
     "Zur Dateiliste der Seite „Bild öffnen“"},
    {Qt::CTRL | Qt::Key_S, nullptr, [](TMainForm& f) { f.SaveAsBtnClick(); },
     "Bild speichern unter..."},
    {Qt::CTRL | Qt::Key_P, nullptr, [](TMainForm& f) { f.PrintBtnClick(); }, "Bild drucken..."},
    // The pages with undo and redo buttons show them pressed; the scan page
    // has none.
    {Qt::CTRL | Qt::Key_Z, &TMainForm::TabSheet3, [](TMainForm& f) { f.UndoBtn1Click(); },
     "Letzten Schritt rückgängig machen (beim Scannen, Zuschneiden und Optimieren)"},
    {Qt::CTRL | Qt::Key_Z, &TMainForm::TabSheet1, [](TMainForm& f) { f.UndoBtn1->animateClick(); },
     nullptr},
    {Qt::CTRL | Qt::Key_Z, &TMainForm::TabSheet4, [](TMainForm& f) { f.UndoBtn2->animateClick(); },
     nullptr},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, &TMainForm::TabSheet3,
     [](TMainForm& f) { f.RedoBtn1Click(); },
     "Rückgängig gemachten Schritt wiederholen (ebenso Strg+Y)"},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, &TMainForm::TabSheet1,
     [](TMainForm& f) { f.RedoBtn1->animateClick(); }, nullptr},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, &TMainForm::TabSheet4,
     [](TMainForm& f) { f.RedoBtn2->animateClick(); }, nullptr},
    {Qt::CTRL | Qt::Key_Y, &TMainForm::TabSheet3, [](TMainForm& f) { f.RedoBtn1Click(); }, nullptr},
    {Qt::CTRL | Qt::Key_Y, &TMainForm::TabSheet1, [](TMainForm& f) { f.RedoBtn1->animateClick(); },
     nullptr},
    {Qt::CTRL | Qt::Key_Y, &TMainForm::TabSheet4, [](TMainForm& f) { f.RedoBtn2->animateClick(); },
     nullptr},
    {Qt::CTRL | Qt::Key_Q, nullptr, [](TMainForm& f) { f.EndeBtnClick(); }, "Programm beenden"},
    {QKeyCombination(Qt::Key_F1), nullptr, [](TMainForm& f) { ShowHelpWindow(&f); }, "Diese Hilfe"},
};

} // namespace

std::span<const KeyBinding> KeyBindings()
{
    return kKeys;
}

void BindKeys(TMainForm& form)
{
    for (const KeyBinding& row : kKeys) {
        // A shortcut works while its parent shows: a page's only on that page.
        QWidget* scope = row.page ? form.*row.page : &form;
        auto* shortcut = new QShortcut(QKeySequence(row.key), scope);
        QObject::connect(shortcut, &QShortcut::activated, &form,
                         [&form, action = row.action] { action(form); });
    }
}
