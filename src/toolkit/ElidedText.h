// Texts in boxes too narrow for them: shrunk to fit or cut short with "…",
// and then shown whole in the tooltip.
#pragma once

#include <QComboBox>
#include <QLabel>

// A one-line label that keeps its text within its width: it takes the
// largest point size from its font's down to minPointSize that fits, and
// below that elides. Its width comes from the layout, not from the text.
class FitLabel final : public QLabel {
    Q_OBJECT
public:
    FitLabel(const QString& text, int minPointSize, QWidget* parent = nullptr);

    void SetFullText(const QString& text);
    const QString& FullText() const { return full_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Fit();

    QString full_;
    QFont designed_;
    int minPointSize_;
    bool fitting_ = false;
};

// A combo box whose closed face elides a long entry and shows it whole in
// the tooltip; the list that drops down is as wide as its longest entry.
class ElidingComboBox final : public QComboBox {
    Q_OBJECT
public:
    explicit ElidingComboBox(QWidget* parent = nullptr);
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
