#include "quorscan/SaneGerman.h"

#include "quorscan/MessageCatalog.h"

#include <libintl.h>

#include <array>
#include <utility>

namespace {

const MessageCatalog& GermanCatalog()
{
    static const MessageCatalog catalog = [] {
        MessageCatalog c;
        // Where gettext looks for the domain; asking does not change it.
        const char* folder = bindtextdomain("sane-backends", nullptr);
        c.Load(std::string(folder ? folder : "/usr/share/locale") +
               "/de/LC_MESSAGES/sane-backends.mo");
        return c;
    }();
    return catalog;
}

// The kinds the SANE standard names; the catalogue has only some of them.
constexpr std::array<std::pair<const char*, const char*>, 10> kDeviceTypes = {{
    {"film scanner", "Filmscanner"},
    {"flatbed scanner", "Flachbettscanner"},
    {"frame grabber", "Videodigitalisierer"},
    {"handheld scanner", "Handscanner"},
    {"multi-function peripheral", "Multifunktionsgerät"},
    {"sheetfed scanner", "Einzugsscanner"},
    {"still camera", "Digitalkamera"},
    {"video camera", "Videokamera"},
    {"virtual device", "virtuelles Gerät"},
    {"scanner", "Scanner"},
}};

} // namespace

std::string SaneGerman(const std::string& text)
{
    const std::string* german = text.empty() ? nullptr : GermanCatalog().Find(text);
    return german ? *german : text;
}

std::string SaneDeviceType(const std::string& type)
{
    for (const auto& [english, german] : kDeviceTypes)
        if (type == english)
            return german;
    return SaneGerman(type);
}
