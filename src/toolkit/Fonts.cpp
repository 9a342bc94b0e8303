#include "toolkit/Fonts.h"

#include <QStringList>

QFont DesignFont(const QString& family, int pointSize, bool bold)
{
    QFont font;
    QStringList families{family};
    if (family == QLatin1String("Arial Black"))
        families << QStringLiteral("DejaVu Sans") << QStringLiteral("Liberation Sans");
    else if (family == QLatin1String("Segoe UI"))
        families << QStringLiteral("DejaVu Sans") << QStringLiteral("Liberation Sans");
    else // MS Sans Serif, Arial and the like
        families << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans");
    font.setFamilies(families);
    font.setPointSize(pointSize);
    if (family == QLatin1String("Arial Black"))
        font.setWeight(QFont::Black);
    else if (bold)
        font.setBold(true);
    return font;
}
