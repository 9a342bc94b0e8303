#include "quorscan/ScanImage.h"

#include "imagora/Imagora.h"
#include "quorscan/ScanStatus.h"

#include <algorithm>
#include <cstring>

namespace {

// 16 bits to 8, rounded: v / 257 to the nearest integer (never a tie).
inline std::uint8_t Round16(const std::uint8_t* sample)
{
    std::uint16_t v;
    std::memcpy(&v, sample, 2); // SANE sends 16-bit samples in the machine's byte order
    return std::uint8_t((unsigned(v) + 128) / 257);
}

// Sample k of a line, as 8 bits. At 1 bit a set bit is full intensity; only
// colour frames come here at that depth (grey ones are lineart).
inline std::uint8_t Sample(const std::uint8_t* line, int depth, int k)
{
    switch (depth) {
    case 1:
        return ((line[k >> 3] >> (7 - (k & 7))) & 1) ? 255 : 0;
    case 8:
        return line[k];
    default:
        return Round16(line + 2 * k);
    }
}

bool IsChannelFrame(SANE_Frame format)
{
    return format == SANE_FRAME_RED || format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
}

int Channels(SANE_Frame format)
{
    return format == SANE_FRAME_RGB ? 3 : 1;
}

int Bits(bool colour, bool lineart)
{
    return colour ? 24 : lineart ? 1 : 8;
}

} // namespace

bool ScanImageBuilder::BeginFrame(const SANE_Parameters& p, std::string& error)
{
    const bool known =
        p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB || IsChannelFrame(p.format);
    if (!known || (p.depth != 1 && p.depth != 8 && p.depth != 16)) {
        error = "Der Scanner liefert Bilddaten in einer Form, die Kelvora nicht lesen kann "
                "(Format " +
                std::to_string(int(p.format)) + ", " + std::to_string(p.depth) +
                " Bit). Bitte wählen Sie einen anderen Scanmodus.";
        return false;
    }
    const std::int64_t needed =
        (std::int64_t(p.pixels_per_line) * Channels(p.format) * p.depth + 7) / 8;
    if (p.pixels_per_line < 1 || p.bytes_per_line < needed) {
        error = "Der Scanner meldet widersprüchliche Bildmaße. Bitte wählen Sie einen anderen "
                "Scanbereich oder eine andere Auflösung.";
        return false;
    }
    if (started_ && (!channelFrames_ || !IsChannelFrame(p.format) || p.pixels_per_line != width_ ||
                     p.depth != frame_.depth)) {
        error = "Der Scanner hat Teilbilder geliefert, die nicht zusammenpassen. Bitte scannen "
                "Sie erneut.";
        return false;
    }
    frame_ = p;
    channel_ = p.format == SANE_FRAME_RED     ? 2
               : p.format == SANE_FRAME_GREEN ? 1
               : p.format == SANE_FRAME_BLUE  ? 0
                                              : -1;
    if (!started_) {
        started_ = true;
        channelFrames_ = IsChannelFrame(p.format);
        kind_ = p.format == SANE_FRAME_GRAY ? (p.depth == 1 ? Kind::Lineart : Kind::Grey)
                                            : Kind::Colour;
        width_ = p.pixels_per_line;
        knownLines_ = p.lines > 0 ? p.lines : -1;
        stride_ =
            std::size_t(DibLineBytes(width_, Bits(kind_ == Kind::Colour, kind_ == Kind::Lineart)));
        if (knownLines_ > 0) {
            NewPicture(&picture_, knownLines_);
            if (!picture_.Bits) {
                error = ScanStatusMessage(SANE_STATUS_NO_MEM);
                return false;
            }
        }
    }
    line_.assign(std::size_t(p.bytes_per_line), 0);
    lineFill_ = 0;
    frameLine_ = 0;
    return true;
}

void ScanImageBuilder::Add(const std::uint8_t* data, std::size_t length)
{
    received_ += length;
    const std::size_t lineBytes = line_.size();
    while (length > 0 && !tooLarge_) {
        if (lineFill_ == 0 && length >= lineBytes) { // whole lines straight from the buffer
            TakeLine(data);
            data += lineBytes;
            length -= lineBytes;
            continue;
        }
        const std::size_t n = std::min(length, lineBytes - lineFill_);
        std::memcpy(line_.data() + lineFill_, data, n);
        lineFill_ += n;
        data += n;
        length -= n;
        if (lineFill_ == lineBytes) {
            TakeLine(line_.data());
            lineFill_ = 0;
        }
    }
}

ScanImageBuilder::~ScanImageBuilder()
{
    deldib(picture_);
}

void ScanImageBuilder::NewPicture(TDibRecord* dib, int height) const
{
    if (kind_ == Kind::Grey) {
        BITMAPINFO table{};
        for (int i = 0; i < 256; ++i)
            table.bmiColors[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
        newdib(dib, width_, height, 8, &table, 256);
    } else {
        newdib(dib, width_, height, Bits(kind_ == Kind::Colour, kind_ == Kind::Lineart), nullptr,
               0);
    }
}

std::uint8_t* ScanImageBuilder::Row(int y)
{
    if (picture_.Bits) {
        rowCount_ = std::max(rowCount_, y + 1);
        return DibRowFromTop(picture_, y);
    }
    if (y >= rowCount_) {
        const std::size_t size = stride_ * std::size_t(y + 1);
        if (size > DibAllocationLimit()) {
            tooLarge_ = true;
            return nullptr;
        }
        if (rows_.size() < size)
            rows_.resize(size); // grows geometrically, so a hand scan costs amortised copies
        rowCount_ = y + 1;
    }
    return rows_.data() + stride_ * std::size_t(y);
}

void ScanImageBuilder::TakeLine(const std::uint8_t* in)
{
    // A backend that sends more lines than it announced: the rest is dropped.
    if (knownLines_ > 0 && frameLine_ >= knownLines_)
        return;
    std::uint8_t* out = Row(frameLine_++);
    if (!out)
        return;
    const int depth = frame_.depth;
    if (kind_ == Kind::Lineart) {
        // SANE sets a bit for black; the picture's colour 0 is black.
        const std::size_t bytes = std::size_t(width_ + 7) / 8;
        for (std::size_t i = 0; i < bytes; ++i)
            out[i] = std::uint8_t(~in[i]);
        if (width_ % 8)
            out[bytes - 1] &= std::uint8_t(0xFF << (8 - width_ % 8));
    } else if (kind_ == Kind::Grey) {
        if (depth == 8)
            std::memcpy(out, in, std::size_t(width_));
        else
            for (int x = 0; x < width_; ++x)
                out[x] = Sample(in, depth, x);
    } else if (channel_ >= 0) {
        for (int x = 0; x < width_; ++x)
            out[3 * x + channel_] = Sample(in, depth, x);
    } else if (depth == 8) {
        for (int x = 0; x < width_; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    } else {
        for (int x = 0; x < width_; ++x) {
            out[3 * x + 2] = Sample(in, depth, 3 * x);
            out[3 * x + 1] = Sample(in, depth, 3 * x + 1);
            out[3 * x + 0] = Sample(in, depth, 3 * x + 2);
        }
    }
}

bool ScanImageBuilder::EndFrame()
{
    return frame_.last_frame != SANE_FALSE;
}

int ScanImageBuilder::Percent() const
{
    if (knownLines_ <= 0)
        return -1;
    const std::uint64_t frames = channelFrames_ ? 3 : 1;
    const std::uint64_t expected =
        frames * std::uint64_t(knownLines_) * std::uint64_t(std::max(frame_.bytes_per_line, 1));
    return int(std::min<std::uint64_t>(100, received_ * 100 / expected));
}

TDibRecord ScanImageBuilder::TakePicture(std::string& error)
{
    TDibRecord dib;
    if (tooLarge_ || rowCount_ == 0) {
        error = ScanStatusMessage(tooLarge_ ? SANE_STATUS_NO_MEM : SANE_STATUS_EOF);
        deldib(picture_);
        picture_ = TDibRecord{};
        return dib;
    }
    if (picture_.Bits && rowCount_ == knownLines_) {
        std::swap(dib, picture_);
        return dib;
    }
    // A hand scan, or a page that ended early: a picture of the lines there are.
    NewPicture(&dib, rowCount_);
    if (!dib.Bits) {
        error = ScanStatusMessage(SANE_STATUS_NO_MEM);
        return dib;
    }
    for (int y = 0; y < rowCount_; ++y)
        std::memcpy(DibRowFromTop(dib, y),
                    picture_.Bits ? DibRowFromTop(picture_, y)
                                  : rows_.data() + stride_ * std::size_t(y),
                    stride_);
    deldib(picture_);
    picture_ = TDibRecord{};
    std::vector<std::uint8_t>().swap(rows_);
    rowCount_ = 0;
    return dib;
}
