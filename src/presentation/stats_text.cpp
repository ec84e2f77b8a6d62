#include "presentation/stats_text.h"

#include "protocol/number_text.h"

#include <cmath>
#include <string>

StatsWords stats_words(const LanguageState& v) {
    return {v.text(138), v.text(139), v.text(140), v.text(141), v.text(142)};
}

QString significant_text(double x, int digits, QChar dec_sep) {
    if (!std::isfinite(x))
        return general_text(x, dec_sep);
    if (x == 0)
        return QStringLiteral("0");
    const SignificantDigits s = significant_digits(std::fabs(x), digits - 1);
    char out[kGeneralTextMax + kDecimalDigitsMax];
    NumberWriter w(out);
    if (x < 0)
        w.put('-');
    const int nd = s.count;
    const int exp10 = s.exp10;
    if (exp10 >= -4 && exp10 < 15) {
        if (exp10 < 0) {
            w.put('0');
            w.separator(dec_sep);
            for (int i = 0; i < -exp10 - 1; ++i)
                w.put('0');
            for (int i = 0; i < nd; ++i)
                w.put(s.d[i]);
        } else {
            for (int i = 0; i <= exp10; ++i)
                w.put(i < nd ? s.d[i] : '0');
            if (nd > exp10 + 1) {
                w.separator(dec_sep);
                for (int i = exp10 + 1; i < nd; ++i)
                    w.put(s.d[i]);
            }
        }
    } else {
        w.put(s.d[0]);
        if (nd > 1) {
            w.separator(dec_sep);
            for (int i = 1; i < nd; ++i)
                w.put(s.d[i]);
        }
        w.put('E');
        for (char c : std::to_string(exp10))
            w.put(c);
    }
    return QString::fromUtf8(out, w.size());
}

namespace {

// A name kept whole on one line, followed by its value.
void add_item(QString& line, const QString& name, const QString& value) {
    if (!line.isEmpty())
        line += QStringLiteral("  ");
    QString joined = name;
    joined.replace(QChar(u' '), kStatsJoin);
    line += joined;
    line += kStatsJoin;
    line += value;
}

} // namespace

QString stats_line(const QString& title, const SeriesStore::Stats& s, const StatsWords& words,
                   QChar dec_sep) {
    const QString none = QStringLiteral("--");
    QString line = title;
    line.replace(QChar(u' '), kStatsJoin);
    add_item(line, words.count, QString::number(qulonglong(s.count)));
    const bool any = s.count > 0;
    add_item(line, words.min, any ? general_text(s.min, dec_sep) : none);
    add_item(line, words.max, any ? general_text(s.max, dec_sep) : none);
    add_item(line, words.mean, any ? significant_text(s.mean, 6, dec_sep) : none);
    add_item(line, words.std_dev,
             s.has_std_dev() ? significant_text(s.std_dev(), 6, dec_sep) : none);
    return line;
}
