#include "files/table_rows.h"

#include "presentation/measurement_table.h"

int rows_to_save(const MeasurementTable& table) {
    int rows = 1;
    while (rows < table.row_count() && table.row_filled(rows))
        ++rows;
    return rows;
}

void append_utf8(QStringView text, std::string& out) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            out.push_back(char(c));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            const bool pair = c < 0xDC00 && i + 1 < n && text[i + 1].isLowSurrogate();
            c = pair ? QChar::surrogateToUcs4(char16_t(c), text[++i].unicode()) : 0xFFFD;
        }
        if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        }
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}
