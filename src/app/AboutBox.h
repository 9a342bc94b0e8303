// The about box: the product picture, the rights notice with this year, and
// the way to the product's web page.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner);

    QLabel* CopyrightLabel = nullptr;
    QPushButton* BitBtnXP1 = nullptr; // the web address
    QPushButton* BitBtn1 = nullptr;   // OK

    void FormCreate();
    void BitBtnXP1Click();
};

// Replaces the first "XXXX" in text by the year in four digits.
QString InsertYear(QString text, int year);
