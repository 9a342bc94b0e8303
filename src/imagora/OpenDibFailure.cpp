#include "imagora/OpenDibFailure.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string OpenDibFailure(const std::string& path)
{
    const std::string file = "Die Datei „" + path + "“ ";
    const std::string unreadable = file + "kann nicht gelesen werden: keine Leseberechtigung";
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == EACCES ? unreadable + " für ihren Ordner." : file + "wurde nicht gefunden.";
    if (S_ISDIR(st.st_mode))
        return "„" + path + "“ ist ein Ordner, keine Bilddatei.";
    if (!S_ISREG(st.st_mode))
        return file + "ist keine gewöhnliche Datei.";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == EACCES ? unreadable + "." : file + "kann nicht gelesen werden.";
    ::close(fd);
    if (st.st_size == 0)
        return file + "ist leer.";
    return file + "ist kein lesbares Bild (unbekanntes Format, beschädigt oder zu groß).";
}
