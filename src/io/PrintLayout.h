// Where a picture lands on a page: the print dialog's preview and the
// printout share these rules, the preview with its small page, the printout
// with the printer's page in device pixels.
#pragma once

struct PrintOptions {
    bool useFull = true;    // "Seite voll nutzen"; false: "Benutzerdefiniert"
    int widthPercent = 50;  // of the page's width, with "Benutzerdefiniert"
    int heightPercent = 50; // of the page's height
    bool keepAspect = true; // "Seitenverhältnis beibehalten", with "Seite voll nutzen"
    bool centred = true;    // "Zentrierte Ausgabe"; false: at the top-left corner
};

struct PlacedRect {
    int x, y, width, height;
    friend bool operator==(const PlacedRect&, const PlacedRect&) = default;
};

// The picture's rectangle on a page of pageWidth x pageHeight for a picture
// of imageWidth x imageHeight, relative to the page's top-left corner.
PlacedRect PlaceOnPage(int pageWidth, int pageHeight, int imageWidth, int imageHeight,
                       const PrintOptions& options);

// The preview page in a box of boxWidth x boxHeight for a printer page of
// printerWidth x printerHeight: as wide as the box for a landscape page, else
// as high, centred in the box.
PlacedRect PreviewPage(int boxWidth, int boxHeight, int printerWidth, int printerHeight);

// The height percentage that keeps the picture's proportions with the given
// width percentage on that page, and the other way round; both unbounded,
// the spin edits limit them.
int LinkedHeightPercent(int widthPercent, int imageWidth, int imageHeight, int pageWidth,
                        int pageHeight);
int LinkedWidthPercent(int heightPercent, int imageWidth, int imageHeight, int pageWidth,
                       int pageHeight);

// Picture pixels per inch on paper: the lower of the two directions, for a
// picture drawn printedWidth x printedHeight device pixels on a device of
// dpiX x dpiY. 0 for nothing printed.
int EffectivePrintDpi(int imageWidth, int imageHeight, int printedWidth, int printedHeight,
                      int dpiX, int dpiY);

// Below this the printout shows its pixels.
constexpr int kLowPrintDpi = 150;
