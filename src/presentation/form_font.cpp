#include "presentation/form_font.h"

#include <QStringList>

QFont form_font(const QFont& base, const QString& family, int pixel_size) {
    QFont f = base;
    QStringList families{family};
    if (family == QLatin1String("Arial"))
        families << QStringLiteral("Liberation Sans");
    families << QStringLiteral("Noto Sans CJK SC") << QStringLiteral("DejaVu Sans");
    f.setFamilies(families);
    f.setPixelSize(pixel_size);
    return f;
}
