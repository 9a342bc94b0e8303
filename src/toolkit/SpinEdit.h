// A spin edit for whole or decimal numbers whose text is what the user typed.
// Nothing replaces it behind the user's back: not a number outside the
// field's limits, not an empty field, not leaving the field. The dialog checks
// its fields when it is confirmed (FieldsFit) and the user corrects what it
// refuses. The arrows and values the program writes stay within the limits.
// A decimal comma or point is taken alike; a comma is shown.
#pragma once

#include "toolkit/FieldRange.h"

#include <QAbstractSpinBox>

#include <initializer_list>
#include <optional>
#include <string>

class TSpinEdit final : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
public:
    // subject names the field in the message about its limits, as a sentence
    // starts with it: "Die Breite".
    explicit TSpinEdit(std::string subject, QWidget* parent = nullptr);

    void SetRange(const FieldRange& range);
    const FieldRange& Range() const { return range_; }

    // The number the text reads as, in extended precision, when it lies
    // within the limits.
    std::optional<long double> ValidValue() const;
    // The typed number when it lies within the limits, else the last one
    // that did: a value refused never reaches the program or its settings.
    long double ExtendedValue() const { return valid_; }
    double value() const { return double(valid_); }
    // Shows value, brought within the limits, with the field's decimals.
    void setValue(double value);

    // False when the text is no number within the limits: the user is told
    // the limits, and the field takes the focus with its text as typed.
    bool CheckValue();

    // The arrows: steps of 1 from the typed number, within the limits; from
    // an empty field to the minimum.
    void stepBy(int steps) override;

signals:
    // The typed number changed, by typing, the arrows or setValue.
    void valueChanged();

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    StepEnabled stepEnabled() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    // The text as a number, within the limits or not.
    std::optional<long double> Typed() const;
    void TextChanged();
    QSize HintFor(int textHeight) const;

    std::string subject_;
    FieldRange range_{0, 99, 0};
    std::optional<long double> typed_; // as last announced
    long double valid_ = 0;            // the last typed number within the limits
};

// True when every field holds a number within its limits; else the first
// that does not says so and takes the focus, and the dialog stays open.
bool FieldsFit(std::initializer_list<TSpinEdit*> fields);
