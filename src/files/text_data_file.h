#pragma once

#include "state/reception_state.h"

#include <QChar>
#include <QString>

#include <array>
#include <functional>

class FileProgress;
class MeasurementTable;

// The program's own data file: four identification lines ("label: text"), the column line and
// one tab-separated line per filled table row, every line ending with CR LF.

// Manufacturer, model, serial number, info: the order of the identification lines.
using IdentTexts = std::array<QString, 4>;

// Writes the header row and the filled rows of `table` (those that exist when the call starts;
// rows added while it runs are left for the next save). Windows-1252 when every text has a
// byte there, otherwise UTF-8 with a byte-order mark so that no text turns into "?". The file
// is replaced only once it is complete. False when it cannot be written.
bool save_text_file(const QString& file_name, const IdentTexts& labels, const IdentTexts& fields,
                    const MeasurementTable& table, FileProgress* progress = nullptr);

// What a load fills.
struct LoadTarget {
    QChar dec_sep; // the values must be numbers written with it
    list_of_real_Record& file_records;
    MeasurementTable& table;
    std::function<void(const IdentTexts&)> set_identification;
    // Plots the loaded table; false when a value does not convert. Null: no chart to plot on.
    std::function<bool()> chart_add_loaded;
};

// Reads a data file into the identification fields, file_records (resized to the file's line
// count plus 100; record k holds data line k), the table (header row plus one row per data
// line) and the chart, in this order. The whole file is read and checked first: a file that
// is refused changes nothing. False when it is refused, when it cannot be read, or when the
// chart reports a value it cannot plot (the table then already shows the file).
bool load_text_file(const QString& file_name, LoadTarget& target, FileProgress* progress = nullptr);
