#include "protocol/commands.h"

#include "state/text_fields.h"

namespace {

constexpr const char* kLogPrefixes[] = {"MEM:INTE ", "MMEM:SD ", "MMEM:USB "};
constexpr qsizetype kIdentificationRest = 300;

} // namespace

QString fixed_command(QStringView control) {
    for (const CommandEntry& c : kFixedCommands)
        if (control == QLatin1String(c.control))
            return QLatin1String(c.text);
    return {};
}

QString read_command(const QString& edt_Read) {
    return edt_Read.isEmpty() ? QStringLiteral("READ?") : QStringLiteral("READ:") + edt_Read;
}

QString output_command(const QString& edt_output) {
    return edt_output.isEmpty() ? QStringLiteral("OUT?") : QStringLiteral("OUT:") + edt_output;
}

QString set_time_command(const QDateTime& now) {
    return QStringLiteral("TIME:SET ") + now.toString(QStringLiteral("yyyy-MM-dd-HH-mm"));
}

std::optional<QString> log_command(int target_item, const QString& edt_Number,
                                   const QString& edt_Interval) {
    if (target_item < 0 || target_item >= int(std::size(kLogPrefixes)))
        return std::nullopt;
    return QLatin1String(kLogPrefixes[target_item]) + edt_Number + QLatin1Char(',') + edt_Interval;
}

std::optional<QString> line_command(const QString& edt_COM_line) {
    if (edt_COM_line.isEmpty() || !command_fits(edt_COM_line))
        return std::nullopt;
    return edt_COM_line;
}

std::array<QString, 4> parse_identification(const QString& reply) {
    std::array<QString, 4> fields;
    QString line = reply + QLatin1Char(',');
    for (QString& field : fields) {
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        if (comma < 0)
            break; // the remaining fields stay empty
        field = trim_blanks(QStringView(line).left(comma)).toString();
        line = line.mid(comma + 1, kIdentificationRest);
    }
    return fields;
}
