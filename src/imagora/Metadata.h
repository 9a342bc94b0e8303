// What a photo carries besides its pixels and a save should keep: its EXIF
// block, its colour profile and, for a JPEG, the quality and chroma
// subsampling it was made with. Read from the file as opened; the writers
// take it through EncodeOptions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SamplingFactors {
    int horizontal = 0, vertical = 0;
    friend bool operator==(const SamplingFactors&, const SamplingFactors&) = default;
};

struct PictureMetadata {
    // An APP1 payload: "Exif\0\0" followed by the TIFF-structured block.
    std::vector<std::uint8_t> exif;
    std::vector<std::uint8_t> icc; // an ICC profile
    int jpegQuality = 0;           // 1..100 estimated from a JPEG's tables; 0: not a JPEG
    // A three-component JPEG's sampling factors of Y, Cb and Cr: {2, 2},
    // {1, 1}, {1, 1} is 4:2:0, all {1, 1} is 4:4:4. Zero for other files.
    std::array<SamplingFactors, 3> jpegSampling{};
};

// The metadata of a JPEG, PNG or TIFF file; other and unreadable files yield
// none.
PictureMetadata ReadPictureMetadata(const std::string& path);

// The same for a JPEG held in memory (markers up to the first scan).
PictureMetadata JpegMetadata(const std::uint8_t* data, std::size_t size);

// The same for a PNG held in memory: its eXIf and iCCP chunks, wherever
// they stand.
PictureMetadata PngMetadata(const std::uint8_t* data, std::size_t size);

// The same for a TIFF held in memory: the profile, orientation and
// descriptive tags of its first directory and its EXIF and GPS directories.
PictureMetadata TiffMetadata(const std::uint8_t* data, std::size_t size);

// The IJG quality whose scaled standard tables come nearest to the file's
// luminance table (and chrominance table, when given); both in the file's
// zigzag order. Files made by libjpeg at quality q give q back (or a quality
// that makes the same tables).
int EstimateJpegQuality(const std::uint16_t* luminance, const std::uint16_t* chrominance);

// The quality a JPEG is saved at: the user's when given (1..100), else the
// source's estimate, else 90.
int SaveJpegQuality(const PictureMetadata* metadata, int userQuality);

// The EXIF block fit for a saved picture of width x height: its pixels are
// upright already, so the orientation becomes 1; the thumbnail, which would
// show the picture as it was, is dropped; the pixel dimensions are the new
// ones. Empty when there is no block, it cannot be read or the result would
// not fit a JPEG marker.
std::vector<std::uint8_t> ExifForSavedPicture(const std::vector<std::uint8_t>& exif, int width,
                                              int height);

// The descriptive text tags of the block's first directory (make, model,
// date, artist, copyright, description, software), as TIFF tag and text.
struct ExifText {
    int tag;
    std::string text;
};
std::vector<ExifText> ExifTextTags(const std::vector<std::uint8_t>& exif);
