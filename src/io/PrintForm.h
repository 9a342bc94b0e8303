// The print layout dialog "Bild drucken...": the picture's size on the page
// (the whole page, or width and height in percent), aspect and centring,
// with a live preview of the page. It knows values only: the picture, the
// printer's page and, through OnPrinterSetup, the printer set-up.
#pragma once

#include "imagora/DibRecord.h"
#include "io/PrintDib.h"
#include "toolkit/FormStorage.h"

#include <QDialog>

#include <functional>

class PaintBox;
class QRadioButton;
class QCheckBox;
class QSpinBox;
class QPushButton;
class QLabel;

class TPrintForm final : public QDialog {
    Q_OBJECT
public:
    // Restores the stored percentages; they are stored again when it goes.
    explicit TPrintForm(QWidget* parent = nullptr);
    ~TPrintForm() override;

    // The picture to lay out; it shares the caller's pixels and is never freed here.
    TDibRecord PrintDib{};
    // The printer's page (PW x PH device pixels).
    PrinterPage Page{2480, 3508, 300, 300};
    // Runs the printer set-up and answers the page it leaves.
    std::function<PrinterPage()> OnPrinterSetup;

    PaintBox* PrintPaintBox = nullptr;
    QRadioButton* UseFullCheck = nullptr;
    QRadioButton* UserdefCheck = nullptr;
    QSpinBox* BreitEdit = nullptr;
    QSpinBox* HochEdit = nullptr;
    QCheckBox* SverhCheck = nullptr;
    QCheckBox* ZentrCheck = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* PrintSetupBtn = nullptr;
    QPushButton* CancelButton = nullptr;
    // beyond the layout: the picture's resolution on paper
    QLabel* DpiLabel = nullptr;
    bool LinkGuard = false;

    // The layout chosen.
    PrintOptions Choice() const;

    void FormShow();
    void PrintPaintBoxPaint();
    void UserdefCheckClick();
    void BreitEditChange();
    void HochEditChange();
    void PrintSetupBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPrintDpi();

    TFormStorage FormStorage1;
};
