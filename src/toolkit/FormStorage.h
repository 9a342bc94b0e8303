// Dialog settings kept between runs: one settings group per dialog class
// (organisation "Norvane", application "Kelvora"), one key per stored control
// property, named as the form names it ("GradEdit.Value").
#pragma once

#include <QString>

#include <vector>

class QObject;

class TFormStorage {
public:
    explicit TFormStorage(QString group);

    // Keeps control's Qt property (such as "value" or "checked") under key.
    void Add(QObject* control, const char* property, const QString& key);

    // Puts the stored values into the controls; keys never stored leave their
    // control as it is. Dialogs call it once they are built.
    void RestoreProps();
    // Stores the controls' current values. Dialogs call it when they close.
    void SaveProps() const;

private:
    struct Entry {
        QObject* control;
        const char* property;
        QString key;
    };
    QString group_;
    std::vector<Entry> entries_;
};
