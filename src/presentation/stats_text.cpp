#include "presentation/stats_text.h"

#include "protocol/number_text.h"

#include <cmath>
#include <string>

StatsWords stats_words(const LanguageState& v) {
    return {v.text(138), v.text(139), v.text(140), v.text(141), v.text(142)};
}

QString significant_text(double x, int digits, QChar dec_sep) {
    if (!std::isfinite(x) || x == 0)
        return general_text(x, dec_sep);
    char out[kGeneralTextMax];
    NumberWriter w(out);
    write_general_notation(w, significant_digits(std::fabs(x), digits - 1), x < 0, dec_sep);
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
