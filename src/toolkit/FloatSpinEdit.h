// A floating-point spin edit: takes a decimal comma or point alike, shows a
// German decimal comma, and keeps a value written to it within its range.
#pragma once

#include <QDoubleSpinBox>

class TFloatSpinEdit final : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit TFloatSpinEdit(QWidget* parent = nullptr);

    // The value as its text reads in extended precision; value() holds the
    // nearest double.
    long double ExtendedValue() const;

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    double valueFromText(const QString& text) const override;
};
