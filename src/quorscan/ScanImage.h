// Builds the picture of one scan from the frames SANE delivers, as the bytes
// arrive: grey frames become 8-bit pictures with a grey colour table, grey
// frames of 1 bit (lineart) 1-bit black-and-white pictures, colour (one RGB
// frame, or a red, a green and a blue frame from a three-pass scanner)
// 24-bit pictures. 16-bit samples are rounded to 8 bits. A frame of unknown
// height (hand scanners) grows line by line.
#pragma once

#include "imagora/DibRecord.h"

#include <sane/sane.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ScanImageBuilder {
public:
    ScanImageBuilder() = default;
    ~ScanImageBuilder();
    ScanImageBuilder(const ScanImageBuilder&) = delete;
    ScanImageBuilder& operator=(const ScanImageBuilder&) = delete;

    // Starts a frame described by the parameters read after sane_start.
    // False with a German message when the frame cannot be taken: an
    // unknown format or depth, contradictory sizes, or a frame that does not
    // fit the frames before it.
    bool BeginFrame(const SANE_Parameters& parameters, std::string& error);
    // The frame's next bytes, split anywhere.
    void Add(const std::uint8_t* data, std::size_t length);
    // Ends the frame; true when it was the last one of the picture.
    bool EndFrame();

    // The share of the expected data received so far, 0 to 100; -1 while
    // the height is unknown.
    int Percent() const;
    // The picture would outgrow the allocation limit; further data is dropped.
    bool TooLarge() const { return tooLarge_; }

    // The finished picture, owned by the caller; a record without pixels
    // and a German message when no line arrived or memory ran out.
    TDibRecord TakePicture(std::string& error);

private:
    enum class Kind { Grey, Lineart, Colour };

    void TakeLine(const std::uint8_t* line);
    std::uint8_t* Row(int y);
    void NewPicture(TDibRecord* dib, int height) const;

    SANE_Parameters frame_{};
    Kind kind_ = Kind::Grey;
    bool started_ = false;
    bool channelFrames_ = false; // three-pass: one frame per colour
    int channel_ = -1;           // byte of a 24-bit pixel the frame fills: 2 red, 1 green, 0 blue
    int width_ = 0;
    int knownLines_ = -1; // lines of the first frame, -1 when unknown
    std::size_t stride_ = 0;
    // With a known height the lines go straight into the picture, so a big
    // scan needs its memory once; else they collect in rows_, top row first.
    TDibRecord picture_{};
    std::vector<std::uint8_t> rows_;
    int rowCount_ = 0;
    std::vector<std::uint8_t> line_; // the frame's line being received
    std::size_t lineFill_ = 0;
    int frameLine_ = 0;
    std::uint64_t received_ = 0;
    bool tooLarge_ = false;
};
