#include "toolkit/SpinEdit.h"

#include "toolkit/DecimalText.h"
#include "toolkit/MessageBox.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>
#include <utility>

// A plain QAbstractSpinBox keeps no value of its own, so it never rewrites
// the text: the value lives in the text alone.
TSpinEdit::TSpinEdit(std::string subject, QWidget* parent)
    : QAbstractSpinBox(parent), subject_(std::move(subject))
{
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { TextChanged(); });
    setValue(0);
}

void TSpinEdit::SetRange(const FieldRange& range)
{
    range_ = range;
    setValue(double(std::clamp(Typed().value_or(valid_), range_.Min, range_.Max)));
    updateGeometry();
}

std::optional<long double> TSpinEdit::Typed() const
{
    long double v = 0;
    if (!ReadFieldNumber(lineEdit()->text().toStdString(), range_.Decimals, v))
        return std::nullopt;
    return v;
}

std::optional<long double> TSpinEdit::ValidValue() const
{
    const std::optional<long double> v = Typed();
    return v && range_.Contains(*v) ? v : std::nullopt;
}

void TSpinEdit::setValue(double value)
{
    // NaN compares false both ways: the minimum then
    const long double v =
        value >= double(range_.Min) ? std::min<long double>(value, range_.Max) : range_.Min;
    lineEdit()->setText(QString::fromStdString(FormatDecimal(v, range_.Decimals)));
}

void TSpinEdit::TextChanged()
{
    update(); // the arrows may be enabled otherwise now
    const std::optional<long double> now = Typed();
    if (now && range_.Contains(*now))
        valid_ = *now;
    if (now == typed_)
        return;
    typed_ = now;
    emit valueChanged();
}

bool TSpinEdit::CheckValue()
{
    if (ValidValue())
        return true;
    MessageBox(OutOfRangeMessage(subject_, range_), window()->windowTitle().toStdString(),
               MB_OK | MB_ICONWARNING);
    setFocus(Qt::OtherFocusReason);
    selectAll();
    return false;
}

QValidator::State TSpinEdit::validate(QString& text, int&) const
{
    const QString plain = text.trimmed();
    long double v = 0;
    if (ReadFieldNumber(plain.toStdString(), range_.Decimals, v))
        return QValidator::Acceptable;
    // on the way to a number: nothing yet, a sign, a separator before digits
    static const QStringList starts = {"", "-", ",", ".", "-,", "-."};
    const bool separator = plain.endsWith(u',') || plain.endsWith(u'.');
    return starts.contains(plain) && (range_.Decimals > 0 || !separator) ? QValidator::Intermediate
                                                                         : QValidator::Invalid;
}

void TSpinEdit::stepBy(int steps)
{
    const std::optional<long double> v = Typed();
    setValue(double(v ? std::clamp(*v + steps, range_.Min, range_.Max) : range_.Min));
    selectAll();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    const std::optional<long double> v = Typed();
    if (!v)
        return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (*v < range_.Max)
        enabled |= StepUpEnabled;
    if (*v > range_.Min)
        enabled |= StepDownEnabled;
    return enabled;
}

// As wide as the longer of the limits needs, as Qt's own spin boxes are.
QSize TSpinEdit::HintFor(int textHeight) const
{
    ensurePolished();
    const QFontMetrics metrics(fontMetrics());
    int width = 0;
    for (const long double limit : {range_.Min, range_.Max}) {
        const QString shown = QString::fromStdString(FormatDecimal(limit, range_.Decimals));
        width = std::max(width, metrics.horizontalAdvance(shown + u' '));
    }
    width += 2; // the caret
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(width, textHeight), this);
}

QSize TSpinEdit::sizeHint() const
{
    return HintFor(lineEdit()->sizeHint().height());
}

QSize TSpinEdit::minimumSizeHint() const
{
    return HintFor(lineEdit()->minimumSizeHint().height());
}

bool FieldsFit(std::initializer_list<TSpinEdit*> fields)
{
    return std::all_of(fields.begin(), fields.end(), [](TSpinEdit* f) { return f->CheckValue(); });
}
