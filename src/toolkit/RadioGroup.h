// A framed group of radio buttons with one item index, like a radio group.
#pragma once

#include <QGroupBox>
#include <QStringList>

#include <functional>

class QButtonGroup;

class TRadioGroup final : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    // The chosen item, -1 when none is.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int Count() const;

    std::function<void()> OnClick;

private:
    QButtonGroup* group_;
};
