#include "files/table_rows.h"

#include "presentation/measurement_table.h"

#include <QStringEncoder>

int rows_to_save(const MeasurementTable& table) {
    int rows = 1;
    while (rows < table.row_count() && table.row_filled(rows))
        ++rows;
    return rows;
}

void append_utf8(QStringView text, std::string& out) {
    // Stateless: a lone surrogate becomes U+FFFD here instead of running into the next text,
    // so one encoder serves every call (the writers call this for each cell).
    thread_local QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const std::size_t used = out.size();
    out.resize(used + std::size_t(encoder.requiredSpace(text.size())));
    char* end = encoder.appendToBuffer(out.data() + used, text);
    out.resize(std::size_t(end - out.data()));
}

bool is_value_column(int col) {
    return col == MeasurementTable::ColMain || col == MeasurementTable::ColSub ||
           col == MeasurementTable::ColT;
}
