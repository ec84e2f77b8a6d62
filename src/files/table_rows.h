#pragma once

#include <QStringView>

#include <string>

class MeasurementTable;

// What the data file, the .csv and the .xlsx writers share.

// The rows a save takes: the header row and the data rows from row 1 up to the first one
// without an index. Rows that arrive while the file is written are left for the next save.
int rows_to_save(const MeasurementTable& table);

// Appends `text` to `out` in UTF-8; a lone surrogate becomes U+FFFD. For writers that keep one
// buffer for every cell instead of a QByteArray each.
void append_utf8(QStringView text, std::string& out);

// Whether a column holds values (main, sub, third), which go out as numbers where they are.
bool is_value_column(int col);
