// A splitter that tells its form when it was resized, after it has laid out
// its panes, so the form can set their proportion.
#pragma once

#include <QSplitter>

#include <functional>

class TSplitter final : public QSplitter {
    Q_OBJECT
public:
    using QSplitter::QSplitter;
    std::function<void()> OnResize;

protected:
    void resizeEvent(QResizeEvent* event) override;
};
