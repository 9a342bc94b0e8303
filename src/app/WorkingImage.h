// The three pictures the main window works on, their deep copy and the
// one-step undo. Qt-free, so the window and the command line share it.
#pragma once

#include "imagora/DibRecord.h"
#include "imagora/Metadata.h"

#include <cstdint>
#include <ctime>
#include <string>

// A new, independent record with its own buffers; Src and Dst may be the same
// record. Copying an empty record yields an empty record silently; an
// allocation failure is reported in a message box and yields an empty record.
void MakeDIBCopy(const TDibRecord& Src, TDibRecord& Dst);

struct WorkingImage {
    TDibRecord WorkDib;   // every page draws it; every command changes it
    TDibRecord OrigDib;   // as last opened from a file: the result page's "before"
    TDibRecord UndoDib;   // one step back
    std::string FileName; // the file the working image came from; empty for a scan
    RECT CropRect{};      // picture pixels, rows from the top, right/bottom exclusive
    // The working image may differ from the file last opened or saved: every
    // change (an undo copy taken, a picture set, an undo) says so, opening a
    // file and saving it clear it. Whether it does differ is
    // PictureDiffersFromFile().
    bool WorkModified = false;
    // The content of the picture last opened or saved (at start: the blank
    // picture), as PictureFingerprint gives it.
    std::uint64_t FileFingerprint = 0;
    // What the file last opened carried besides its pixels; a save keeps it.
    PictureMetadata Metadata;
    // When the working image was scanned; 0 when it is no scan. A scan has
    // no file name and no metadata of its own.
    std::time_t ScanTime = 0;
    // The file name, metadata and scan time that belong to the undo picture:
    // undo brings them back with its pixels.
    struct Origin {
        std::string FileName;
        PictureMetadata Metadata;
        std::time_t ScanTime = 0;
    } UndoOrigin;

    // The blank 320 x 240 start pictures.
    void CreateStartPictures();
    // Releases all three pictures, leaving empty records.
    void Release();

    void MakeCopyForUndo();
    // Puts a copy of the undo picture back and selects the whole picture.
    // The working image is replaced only when the copy succeeded, so a failed
    // copy never loses the user's picture.
    void UseUndoCopy();
    // Takes over a freshly opened picture: it becomes the working image, with
    // deep copies as the before and undo pictures. The copies are made before
    // the old pictures are released, so a message about a failed copy never
    // meets a pane drawing freed memory. The file's metadata is read with it,
    // and the whole picture is selected.
    void InstallOpened(const TDibRecord& opened, const std::string& path);
    // Replaces the working image by a newly computed one it takes ownership
    // of, taking the undo copy first.
    void ReplaceWork(const TDibRecord& result);
    // The same for a command that has taken its undo copy already.
    void SetWork(const TDibRecord& result);
    // A scanned picture, taken over, becomes the working image after the undo
    // copy; until undo, the working image is a scan of that moment.
    void InstallScan(const TDibRecord& scanned, std::time_t when);

    void SelectWholePicture();

    // Whether closing or opening another file would lose something: the
    // working image differs in content from the picture last opened or saved.
    // Mirroring twice, or undoing back to that picture, loses nothing.
    bool PictureDiffersFromFile() const;
    // The working image was written to a file.
    void MarkSaved();
};
