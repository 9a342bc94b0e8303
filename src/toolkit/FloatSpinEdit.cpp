#include "toolkit/FloatSpinEdit.h"

#include "toolkit/DecimalText.h"

#include <QLocale>

namespace {
bool Parse(const QString& text, int decimals, long double& value)
{
    return ParseDecimal(text.trimmed().toStdString(), decimals, value);
}
} // namespace

TFloatSpinEdit::TFloatSpinEdit(QWidget* parent) : QDoubleSpinBox(parent)
{
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

long double TFloatSpinEdit::ExtendedValue() const
{
    long double v = 0;
    if (Parse(cleanText(), decimals(), v) && v >= minimum() && v <= maximum())
        return v;
    return value();
}

QValidator::State TFloatSpinEdit::validate(QString& text, int&) const
{
    const QString plain = text.trimmed();
    if (plain.isEmpty() || plain == QStringLiteral(",") || plain == QStringLiteral("."))
        return QValidator::Intermediate;
    long double v = 0;
    if (!Parse(plain, decimals(), v))
        return QValidator::Invalid;
    // Out of range may still be on its way ("0" before "0,5"); leaving the
    // field brings it within range.
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

double TFloatSpinEdit::valueFromText(const QString& text) const
{
    long double v = 0;
    return Parse(text, decimals(), v) ? double(v) : value();
}
