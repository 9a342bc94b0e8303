// The names and file masks of the picture formats, shared by the open and
// save filters so that both speak of a format alike.
#pragma once

struct FileFormatName {
    const char* description;
    const char* masks; // "*.ext;*.ext", lower case
};

inline constexpr FileFormatName kBmpFormat{"Windows-Bitmap", "*.bmp;*.dib"};
inline constexpr FileFormatName kPngFormat{"PNG-Bild", "*.png"};
inline constexpr FileFormatName kJpegFormat{"JPEG-Bild", "*.jpg;*.jpeg;*.jpe;*.jfif"};
inline constexpr FileFormatName kGifFormat{"GIF-Bild", "*.gif"};
inline constexpr FileFormatName kTiffFormat{"TIFF-Bild", "*.tif;*.tiff"};
inline constexpr FileFormatName kWebpFormat{"WebP-Bild", "*.webp"};
inline constexpr FileFormatName kPnmFormat{"Portable Anymap", "*.pbm;*.pgm;*.ppm;*.pnm"};
