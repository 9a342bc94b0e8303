#include "quorscan/ScanStatus.h"

std::string ScanStatusMessage(SANE_Status status)
{
    switch (status) {
    case SANE_STATUS_GOOD:
        return {};
    case SANE_STATUS_UNSUPPORTED:
        return "Der Scanner unterstützt diesen Vorgang nicht. Bitte wählen Sie andere "
               "Einstellungen und scannen Sie erneut.";
    case SANE_STATUS_CANCELLED:
        return "Der Scan wurde am Scanner abgebrochen. Bitte scannen Sie erneut.";
    case SANE_STATUS_DEVICE_BUSY:
        return "Der Scanner ist gerade belegt. Bitte warten Sie, bis er frei ist, oder beenden "
               "Sie andere Scan-Programme, und scannen Sie erneut.";
    case SANE_STATUS_INVAL:
        return "Der Scanner hat die Einstellungen nicht angenommen. Bitte prüfen Sie Modus, "
               "Auflösung und Scanbereich und scannen Sie erneut.";
    case SANE_STATUS_EOF:
        return "Der Scanner hat keine Bilddaten geliefert. Bitte prüfen Sie die Vorlage und "
               "scannen Sie erneut.";
    case SANE_STATUS_JAMMED:
        return "Im Einzug des Scanners hat sich Papier gestaut. Bitte entfernen Sie das Papier "
               "und scannen Sie erneut.";
    case SANE_STATUS_NO_DOCS:
        return "Im Einzug des Scanners liegt keine Vorlage. Bitte legen Sie eine Vorlage ein "
               "und scannen Sie erneut.";
    case SANE_STATUS_COVER_OPEN:
        return "Der Deckel des Scanners ist offen. Bitte schließen Sie ihn und scannen Sie "
               "erneut.";
    case SANE_STATUS_IO_ERROR:
        return "Die Verbindung zum Scanner ist gestört. Bitte prüfen Sie Kabel und "
               "Stromversorgung (bei Netzwerkscannern das Netzwerk) und scannen Sie erneut.";
    case SANE_STATUS_NO_MEM:
        return "Für den Scan ist nicht genug Speicher frei. Bitte wählen Sie eine kleinere "
               "Auflösung oder einen kleineren Scanbereich.";
    case SANE_STATUS_ACCESS_DENIED:
        return "Der Zugriff auf den Scanner wurde verweigert. Bitte prüfen Sie Ihre "
               "Zugriffsrechte auf das Gerät (etwa die Gruppe „scanner“) oder das Kennwort.";
    }
    return "Der Scanner meldet einen unbekannten Fehler (" + std::to_string(int(status)) +
           "). Bitte scannen Sie erneut.";
}
