#include "i18n/about_text.h"

QString about_text(const LanguageState& v) {
    QString text;
    for (int i = 1; i <= 20; ++i) {
        const QString& line = v.text(200 + i);
        if (!line.isEmpty())
            text += line + QStringLiteral("\r\n");
    }
    return text;
}
