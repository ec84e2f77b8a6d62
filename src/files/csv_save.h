#pragma once

#include <QChar>
#include <QString>

class FileProgress;
class MeasurementTable;

// Writes the table as comma-separated values for other programs: the header row, then the
// rows a text data file would hold (see rows_to_save), eight fields each. UTF-8 without a
// byte-order mark, CR LF after every line, fields quoted where they hold a comma, a double
// quote, CR or LF (inner quotes doubled). The value columns hold numbers with "." whatever the
// user's separator `dec_sep`: a value text that is a number written with `dec_sep` goes out
// with only that character swapped, its digits as they are; other texts go out unchanged. The
// file is replaced only once it is complete. False when it cannot be written.
bool save_csv_file(const QString& file_name, const MeasurementTable& table, QChar dec_sep,
                   FileProgress* progress = nullptr);
