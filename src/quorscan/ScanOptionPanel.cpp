#include "quorscan/ScanOptionPanel.h"

#include "quorscan/SaneGerman.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString Utf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString UnitSuffix(SANE_Unit unit)
{
    switch (unit) {
    case SANE_UNIT_PIXEL:
        return QStringLiteral(" px");
    case SANE_UNIT_BIT:
        return QStringLiteral(" Bit");
    case SANE_UNIT_MM:
        return QStringLiteral(" mm");
    case SANE_UNIT_DPI:
        return QStringLiteral(" dpi");
    case SANE_UNIT_PERCENT:
        return QStringLiteral(" %");
    case SANE_UNIT_MICROSECOND:
        return QStringLiteral(" µs");
    default:
        return {};
    }
}

double Number(const ScanValue& v)
{
    return std::holds_alternative<double>(v) ? std::get<double>(v) : 0;
}

// The control for one option, wired to changed.
QWidget* MakeControl(const ScanOption& o, const ScanValue& value, const OptionChanged& changed,
                     QWidget* parent)
{
    if (o.type == SANE_TYPE_BOOL) {
        auto* box = new QCheckBox(SaneText(o.title), parent);
        box->setChecked(Number(value) != 0);
        QObject::connect(box, &QCheckBox::toggled, box,
                         [o, changed](bool on) { changed(o, on ? 1.0 : 0.0); });
        return box;
    }
    if (o.type == SANE_TYPE_BUTTON) {
        auto* button = new QPushButton(SaneText(o.title), parent);
        QObject::connect(button, &QPushButton::clicked, button, [o, changed] { changed(o, 0.0); });
        return button;
    }
    if (o.type == SANE_TYPE_STRING && o.constraint == SANE_CONSTRAINT_STRING_LIST) {
        auto* combo = new QComboBox(parent);
        // Long entries must not widen the panel past its scroll box.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(12);
        for (const std::string& s : o.strings)
            combo->addItem(SaneText(s), Utf8(s));
        combo->setCurrentIndex(combo->findData(Utf8(std::get<std::string>(value))));
        QObject::connect(combo, &QComboBox::activated, combo, [o, changed, combo](int i) {
            changed(o, combo->itemData(i).toString().toStdString());
        });
        return combo;
    }
    if (o.type == SANE_TYPE_STRING) {
        auto* edit = new QLineEdit(Utf8(std::get<std::string>(value)), parent);
        QObject::connect(edit, &QLineEdit::editingFinished, edit,
                         [o, changed, edit] { changed(o, edit->text().toStdString()); });
        return edit;
    }
    if (o.constraint == SANE_CONSTRAINT_WORD_LIST) {
        auto* combo = new QComboBox(parent);
        for (double w : o.words)
            combo->addItem(Utf8(FormatScanNumber(w)) + UnitSuffix(o.unit), w);
        for (int i = 0; i < combo->count(); ++i)
            if (std::abs(combo->itemData(i).toDouble() - Number(value)) < 1e-4)
                combo->setCurrentIndex(i);
        QObject::connect(combo, &QComboBox::activated, combo,
                         [o, changed, combo](int i) { changed(o, combo->itemData(i).toDouble()); });
        return combo;
    }
    auto* spin = new QDoubleSpinBox(parent);
    const bool whole =
        o.type == SANE_TYPE_INT || (o.constraint == SANE_CONSTRAINT_RANGE && o.quant > 0 &&
                                    o.quant == std::floor(o.quant) && o.min == std::floor(o.min));
    spin->setDecimals(whole ? 0 : 2);
    if (o.constraint == SANE_CONSTRAINT_RANGE) {
        spin->setRange(o.min, o.max);
        if (o.quant > 0)
            spin->setSingleStep(o.quant);
    } else {
        spin->setRange(-1e9, 1e9);
    }
    spin->setSuffix(UnitSuffix(o.unit));
    spin->setValue(Number(value));
    spin->setKeyboardTracking(false); // a value is set when typing ends, not per digit
    QObject::connect(spin, &QDoubleSpinBox::valueChanged, spin,
                     [o, changed](double v) { changed(o, v); });
    return spin;
}

} // namespace

QString SaneText(const std::string& text)
{
    return Utf8(SaneGerman(text));
}

QWidget* BuildOptionPanel(SANE_Handle device, const std::vector<ScanOption>& options,
                          const OptionChanged& changed, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    QGroupBox* box = nullptr;
    QFormLayout* form = nullptr;
    const std::string* group = nullptr;
    for (const ScanOption& o : options) {
        if (!o.Shown())
            continue;
        if (!box || *group != o.group) {
            box = new QGroupBox(
                o.group.empty() ? QStringLiteral("Einstellungen") : SaneText(o.group), panel);
            form = new QFormLayout(box);
            form->setRowWrapPolicy(QFormLayout::WrapLongRows); // long titles above their field
            layout->addWidget(box);
            group = &o.group;
        }
        ScanValue value;
        if (GetScanValue(device, o, value) != SANE_STATUS_GOOD)
            continue;
        QWidget* control = MakeControl(o, value, changed, box);
        control->setObjectName(Utf8(o.name));
        control->setToolTip(SaneText(o.description.empty() ? o.title : o.description));
        if (o.type == SANE_TYPE_BOOL || o.type == SANE_TYPE_BUTTON)
            form->addRow(control);
        else
            form->addRow(SaneText(o.title) + QLatin1Char(':'), control);
    }
    layout->addStretch(1);
    return panel;
}
