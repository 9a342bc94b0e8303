// The reduction options: palette, method and the system colours. The form
// mirrors a DepthDownState, which holds the enabling rules. Below them, every
// choice the target offers is previewed on one part of the picture, worked
// out on a thread of their own while the dialog stays free to use.
#pragma once

#include "depth/DepthDialogState.h"
#include "depth/DepthPreview.h"

#include <QDialog>

#include <memory>
#include <vector>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class DepthPreviewRun;
class TDepthOverview;
class TDepthPreviewTile;
struct DepthPreviewEvent;

class TDepthDownForm final : public QDialog {
    Q_OBJECT
public:
    explicit TDepthDownForm(QWidget* owner);
    ~TDepthDownForm() override;

    QGroupBox* PaletteGroup = nullptr;
    QRadioButton* OptPalCheck = nullptr;
    QRadioButton* StdPalCheck = nullptr;
    QGroupBox* MethodGroup = nullptr;
    QRadioButton* NearCheck = nullptr;
    QRadioButton* DitherCheck = nullptr;
    QRadioButton* FSErrCheck = nullptr;
    QGroupBox* OptionsGroup = nullptr;
    QCheckBox* WinColCheck = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    TDepthOverview* Overview = nullptr;
    std::vector<TDepthPreviewTile*> PreviewTiles; // one for each choice offered

    bool Target8Bit() const { return state_.Target8Bit; }

    // Both palette buttons run the same rule when they become checked.
    void OptPalCheckClick();
    void StdPalCheckClick();

    // Sets the enabled states for a reduction to target bits.
    void Prepare(int target);
    // The choices as OK hands them over.
    DepthDownChoice Choice();

    // Previews the prepared target's choices on picture (which the form
    // keeps while they are worked out), on its centre to begin with.
    void ShowPreviews(SharedDib picture);
    // The previews show the part around this picture point.
    void PickPoint(int x, int y);
    // Stops the work on the previews; it ends on its own thread.
    void StopPreviews();
    // Whether every preview shows its figures and its part where the user
    // last pointed.
    bool PreviewsComplete() const;

private:
    // The user's clicks into the state, and the state back onto the controls.
    void Pull();
    void Push();

    void StartPreviews();
    void StopRun();
    void Receive(unsigned generation, const DepthPreviewEvent& event, const QImage& part);
    // Frames the preview that OK would give.
    void MarkChosen();
    void ChooseLike(const DepthDownChoice& choice);

    DepthDownState state_;
    int target_ = 0;
    SharedDib picture_;
    RECT region_{};
    unsigned generation_ = 0;
    std::unique_ptr<DepthPreviewRun> run_;
    std::vector<std::unique_ptr<DepthPreviewRun>> stopping_;
};
