// The picture the window and the command line work on, and the one door
// every change of it passes through: a step is run, the picture it started
// from is kept for undo, the result is installed, the step is recorded in
// the history, and the Changed hook is called. Qt-free, so the window and
// the command line share it.
#pragma once

#include "app/History.h"
#include "imagora/DibRecord.h"
#include "imagora/Metadata.h"
#include "steps/StepTable.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

// A new, independent record with its own buffers; Src and Dst may be the same
// record. Copying an empty record yields an empty record silently; an
// allocation failure is reported in a message box and yields an empty record.
void MakeDIBCopy(const TDibRecord& Src, TDibRecord& Dst);

struct WorkingImage {
    WorkingImage() = default;
    WorkingImage(const WorkingImage&) = delete;
    WorkingImage& operator=(const WorkingImage&) = delete;
    ~WorkingImage() { Release(); }

    TDibRecord WorkDib;   // every page draws it; every step changes it
    TDibRecord OrigDib;   // as last opened from a file: the result page's "before"
    std::string FileName; // the file the working image came from; empty for a scan
    RECT CropRect{};      // picture pixels, rows from the top, right/bottom exclusive
    // The working image may differ from the file last opened or saved: every
    // change says so, opening a file and saving it clear it. Whether it does
    // differ is PictureDiffersFromFile().
    bool WorkModified = false;
    // The content of the picture last opened or saved (at start: the blank
    // picture), as PictureFingerprint gives it.
    std::uint64_t FileFingerprint = 0;
    // What came with the current picture besides its pixels; a save keeps it.
    PictureMetadata Metadata;
    // When the working image was scanned; 0 when it is no scan. A scan has
    // no file name and no metadata of its own.
    std::time_t ScanTime = 0;
    // Called after every change of the working image: a step, a move in the
    // history, a picture opened or scanned.
    std::function<void()> Changed;

    // The blank 320 x 240 start picture, the first state of the history.
    void CreateStartPictures();
    // Releases every picture, leaving empty records and an empty history.
    void Release();

    // Runs step on the working image. On success the picture it started from
    // is kept in the history, the result becomes the working image and the
    // step the history's newest. A step that fails or changes nothing
    // (a depth the picture has already) leaves everything as it was; the
    // result says why it failed, for the caller to show.
    StepResult Apply(const Step& step, ProgressSink& progress);

    // Takes over a freshly opened picture: it becomes the working image and
    // the first state of a new history, and the before picture shares its
    // pixels.
    // The file's metadata is read with it, and the whole picture is selected.
    void InstallOpened(const TDibRecord& opened, const std::string& path);
    // The same for a picture nobody will compare with its file, such as one
    // only saved again, whose rows may still be arriving: nothing reads its
    // pixels here (no before picture, no fingerprint), so it can be written
    // while it is read.
    void InstallForSaving(const TDibRecord& opened, const std::string& path);
    // A scanned picture becomes the working image as a step of its own; it
    // has no file and no metadata. Undo brings back the picture before it
    // with what came with that.
    void InstallScanned(const TDibRecord& scanned, const std::string& device, std::time_t when);

    // Back and forth along the history; false when there is nowhere to go or
    // the state could not be made (no memory). Each selects the whole picture.
    bool Undo(ProgressSink& progress);
    bool Redo(ProgressSink& progress);
    bool GoTo(int index, ProgressSink& progress);
    const History& Steps() const { return history_; }

    void SelectWholePicture();

    // Whether closing or opening another file would lose something: the
    // working image differs in content from the picture last opened or saved.
    // Mirroring twice, or undoing back to that picture, loses nothing.
    bool PictureDiffersFromFile() const;
    // The working image was written to a file.
    void MarkSaved();

    // The memory the history may keep pictures in (DefaultHistoryBudget()).
    // 0, for a run that never goes back (the command line), keeps none and
    // makes no before picture, which saves their memory and time.
    void SetHistoryBudget(std::size_t bytes);

private:
    void Install(const TDibRecord& opened, const std::string& path, bool readPixels);

    // The state the history's current entry stands for is now the working image.
    void Settle();

    History history_;
};
