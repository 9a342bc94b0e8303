// Waiting for SANE's thread with the window painting on: the wait cursor at
// once, and when the wait lasts, a small dialog that says what is happening
// and offers "Abbrechen".
#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

class TSaneWaitDialog final : public QDialog {
    Q_OBJECT
public:
    TSaneWaitDialog(const QString& what, QWidget* parent);

    QLabel* TextLabel = nullptr;
    QProgressBar* BusyBar = nullptr;
    QPushButton* CancelBtn = nullptr;
};

// Runs job on SANE's thread and waits for it. False when the user
// cancelled, which returns at once: the job then ends unseen on its thread.
bool WaitForSane(QWidget* parent, const QString& what, std::function<void()> job);

// The value job makes, or nothing when the user cancelled; what a cancelled
// job makes, such as a device it opened, is released on SANE's thread.
template <class Result>
std::optional<Result> WaitForSaneResult(QWidget* parent, const QString& what,
                                        std::function<Result()> job)
{
    auto made = std::make_shared<std::optional<Result>>();
    if (!WaitForSane(parent, what, [made, job = std::move(job)] { *made = job(); }))
        return std::nullopt;
    return std::move(*made);
}
