// Runs a function before the application hands on the user's next click,
// key, drop or window close, for as long as it is installed: whatever the
// input starts then finds what the function made ready.
#pragma once

#include <QObject>

#include <functional>

class InputGate final : public QObject {
public:
    InputGate(QObject* parent, std::function<void()> before);
    // Installed on the application; installing twice installs once.
    void Install();
    void Remove();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> before_;
};
