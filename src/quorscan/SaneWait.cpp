#include "quorscan/SaneWait.h"

#include "quorscan/SaneThread.h"
#include "toolkit/WaitCursor.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>

namespace {

// A local search answers within this; only a longer wait shows the dialog.
constexpr int kDialogDelayMs = 300;
constexpr int kPollMs = 15;

} // namespace

TSaneWaitDialog::TSaneWaitDialog(const QString& what, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Scanner"));
    // The window behind paints on but takes no clicks meanwhile.
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    TextLabel = new QLabel(what, this);
    layout->addWidget(TextLabel);
    BusyBar = new QProgressBar(this);
    BusyBar->setRange(0, 0);
    BusyBar->setTextVisible(false);
    BusyBar->setToolTip(QStringLiteral("Der Scanner antwortet noch nicht; im Netzwerk kann das "
                                       "einige Sekunden dauern"));
    layout->addWidget(BusyBar);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setToolTip(QStringLiteral("Nicht länger warten"));
    row->addWidget(CancelBtn);
    layout->addLayout(row);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool WaitForSane(QWidget* parent, const QString& what, std::function<void()> job)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    RunOnSaneThread([done, job = std::move(job)] {
        job();
        *done = true;
    });
    const WaitCursor cursor;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop, done] {
        if (*done)
            loop.quit();
    });
    poll.start(kPollMs);
    // Until the dialog shows, clicks wait in the queue: they reach the
    // window after a quick answer, and are refused once the dialog is up.
    QTimer::singleShot(kDialogDelayMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (*done)
        return true;

    TSaneWaitDialog dialog(what, parent);
    bool cancelled = false;
    QObject::connect(&dialog, &QDialog::rejected, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    dialog.show();
    loop.exec();
    return !cancelled;
}
