#include "app/PageFrame.h"

#include "toolkit/ElidedText.h"
#include "toolkit/Fonts.h"
#include "toolkit/ImageBtn.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QWidget* MakeBanner(const QString& text, QWidget* parent)
{
    auto* banner = new QFrame(parent);
    banner->setFrameShape(QFrame::Panel);
    banner->setFrameShadow(QFrame::Raised);
    banner->setFixedHeight(33);
    SetBackground(banner, kSkyBlue);
    auto* label = new FitLabel(text, 8, banner); // a narrow window cuts the title short
    label->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8, true));
    auto* layout = new QHBoxLayout(banner);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(label);
    return banner;
}

QWidget* MakeSidePanel(const QString& title, const QString& picture, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setFixedWidth(209);
    SetBackground(panel, kMint);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 8, 8, 8);

    // Titles as wide as the panel take a smaller size of their font.
    auto* titleBox = new FitLabel(title, 9, panel);
    titleBox->setFont(DesignFont(QStringLiteral("Arial Black"), 14));
    titleBox->setContentsMargins(6, 2, 6, 2);
    titleBox->setStyleSheet(
        QStringLiteral("color: %1; background: %2;").arg(kMaroon.name(), kSkyBlue.name()));
    layout->addWidget(titleBox);

    auto* image = new QLabel(panel);
    image->setPixmap(QPixmap(picture));
    image->setScaledContents(true); // the picture is decoration: stretched to fit
    image->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout->addWidget(image, 1);
    return panel;
}

QWidget* MakePage(QWidget** content, const QString& banner, const QString& sideTitle,
                  const QString& sidePicture)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MakeBanner(banner, page));
    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    if (!sideTitle.isEmpty())
        body->addWidget(MakeSidePanel(sideTitle, sidePicture, page));
    *content = new QWidget(page);
    body->addWidget(*content, 1);
    layout->addLayout(body, 1);
    return page;
}

TImageBtn* MakeImageButton(QWidget* parent, const char* name, const QString& hint)
{
    auto* button = new TImageBtn(parent);
    const QString base = QStringLiteral(":/buttons/") + QLatin1String(name);
    button->SetPicture(QPixmap(base + QStringLiteral(".svg")));
    button->SetPicture2(QPixmap(base + QStringLiteral("-down.svg")));
    button->setToolTip(hint);
    return button;
}

QPushButton* MakeUndoButton(const QString& caption, QWidget* parent)
{
    return new QPushButton(QIcon(QStringLiteral(":/buttons/undo.svg")), caption, parent);
}

QPushButton* MakeRedoButton(const QString& caption, QWidget* parent)
{
    return new QPushButton(QIcon(QStringLiteral(":/buttons/redo.svg")), caption, parent);
}
