#include "app/FrameTexts.h"

const PageInfo kPages[5] = {
    {"Bild öffnen", ":/icons/tab-open.svg",
     "Wählen Sie links den Ordner und doppelklicken Sie auf die Bilddatei, die Sie bearbeiten "
     "möchten."},
    {"Scannen", ":/icons/tab-scan.svg",
     "Wählen Sie den Scanner und scannen Sie ein Foto direkt als Arbeitsbild ein."},
    {"Zuschneiden", ":/icons/tab-crop.svg",
     "Ziehen Sie einen Rahmen auf und schneiden Sie den Rand ab; spiegeln, drehen, Größe und "
     "Farbtiefe ändern Sie hier ebenso."},
    {"Optimieren", ":/icons/tab-optimize.svg",
     "Wählen Sie einen Korrekturmodus und klicken Sie immer wieder auf die Variante, die Ihnen "
     "am besten gefällt."},
    {"Speichern/Drucken", ":/icons/tab-save.svg",
     "Vergleichen Sie das Bild vorher und nachher, speichern oder drucken Sie das Ergebnis."},
};

std::string WindowCaption(const std::string& fileName)
{
    if (fileName.empty())
        return kProductCaption;
    const std::size_t slash = fileName.find_last_of('/');
    return fileName.substr(slash == std::string::npos ? 0 : slash + 1) + " - " + kProductCaption;
}

std::string PictureSizeText(const TDibRecord& dib)
{
    if (!dib.Bits)
        return {};
    return std::to_string(DibWidth(dib)) + " × " + std::to_string(DibHeight(dib)) + " Pixel, " +
           std::to_string(DibBitCount(dib)) + " Bit";
}
