#include "toolkit/FormStorage.h"

#include <QObject>
#include <QSettings>
#include <QVariant>

#include <utility>

namespace {
QSettings Settings()
{
    return QSettings(QStringLiteral("Norvane"), QStringLiteral("Kelvora"));
}
} // namespace

TFormStorage::TFormStorage(QString group) : group_(std::move(group)) {}

void TFormStorage::Add(QObject* control, const char* property, const QString& key)
{
    entries_.push_back({control, property, key});
}

void TFormStorage::RestoreProps()
{
    QSettings settings = Settings();
    settings.beginGroup(group_);
    for (const Entry& e : entries_) {
        const QVariant stored = settings.value(e.key);
        // A value of another type (a hand-edited file) is left out, not forced.
        QVariant value = stored;
        if (stored.isValid() && value.convert(e.control->property(e.property).metaType()))
            e.control->setProperty(e.property, value);
    }
}

void TFormStorage::SaveProps() const
{
    QSettings settings = Settings();
    settings.beginGroup(group_);
    for (const Entry& e : entries_)
        settings.setValue(e.key, e.control->property(e.property));
}
