// The colour-count dialog: one list of the four depths.
#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

class TDepthChangeForm final : public QDialog {
    Q_OBJECT
public:
    explicit TDepthChangeForm(QWidget* owner);

    QComboBox* ColorBox = nullptr; // items in the order of kColorBoxItems
    QLabel* Label1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};
