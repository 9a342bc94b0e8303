#include "toolkit/ElidedText.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QStylePainter>

FitLabel::FitLabel(const QString& text, int minPointSize, QWidget* parent)
    : QLabel(parent), full_(text), minPointSize_(minPointSize)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    designed_ = font();
    Fit();
}

void FitLabel::SetFullText(const QString& text)
{
    full_ = text;
    Fit();
}

QSize FitLabel::minimumSizeHint() const
{
    return QSize(0, QLabel::minimumSizeHint().height());
}

QSize FitLabel::sizeHint() const
{
    return QSize(QFontMetrics(designed_).horizontalAdvance(full_), QLabel::sizeHint().height());
}

void FitLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    Fit();
}

void FitLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange && !fitting_) {
        designed_ = font(); // a font set from outside is the one to fit
        Fit();
    }
}

void FitLabel::Fit()
{
    fitting_ = true;
    const int room = contentsRect().width() - 2 * margin();
    QFont f = designed_;
    const auto shownAt = [&](const QFont& font) {
        return QFontMetrics(font).elidedText(full_, Qt::ElideRight, room);
    };
    while (f.pointSize() > minPointSize_ && shownAt(f) != full_)
        f.setPointSize(f.pointSize() - 1);
    setFont(f);
    const QString shown = shownAt(f);
    setText(shown);
    setToolTip(shown == full_ ? QString() : full_);
    fitting_ = false;
}

ElidingComboBox::ElidingComboBox(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        QStyleOptionComboBox option;
        initStyleOption(&option);
        const QRect room = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                   QStyle::SC_ComboBoxEditField, this);
        setToolTip(fontMetrics().horizontalAdvance(text) > room.width() ? text : QString());
    });
}

void ElidingComboBox::showPopup()
{
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth() + 8);
    QComboBox::showPopup();
}

void ElidingComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect room =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideRight, room.width());
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
