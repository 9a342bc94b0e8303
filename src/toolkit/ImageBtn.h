// A picture that acts as a button. While a mouse button is held on it, it
// shows its second picture; it shows its normal picture again on release,
// when the pointer leaves while held (the second again when it comes back),
// and before it fires its click.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <functional>

class TImageBtn final : public QWidget {
    Q_OBJECT
public:
    explicit TImageBtn(QWidget* parent = nullptr);

    void SetPicture(const QPixmap& picture);
    void SetPicture2(const QPixmap& picture);
    bool ShowsPicture2() const { return showing2_; }

    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Show2(bool second);

    QPixmap picture_;
    QPixmap picture2_;
    bool held_ = false;
    bool showing2_ = false;
};
