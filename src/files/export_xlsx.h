#pragma once

#include <QChar>
#include <QString>

class FileProgress;
class MeasurementTable;

// Rows of one worksheet in an Office Open XML workbook, the format's limit.
inline constexpr int kXlsxSheetRows = 1'048'576;

// Writes the table as an Excel workbook (.xlsx): the rows a text data file would hold (see
// rows_to_save) on sheets named "page 1", "page 2" ... as the .xls export names its pages.
// Each sheet starts with the header row and takes up to `sheet_rows` - 1 data rows (at least
// one). Table column k goes to sheet column k + 1. The index and every value text that is a
// number written with `dec_sep` are numbers; the time, the function texts and other values
// are texts (at most 32767 characters each, as in the .xls). Empty cells stay empty.
//
// The rows are written in order with constant memory, into a temporary file beside the
// target that replaces it only once complete: a failed export leaves an older file as it was.
// With `progress`, the last step (packing the workbook into its file) runs on a thread of its
// own while `progress` is told every few milliseconds; the table is read on the calling thread
// alone. False on any failure.
bool export_xlsx(const QString& file_name, const MeasurementTable& table, QChar dec_sep,
                 FileProgress* progress = nullptr, int sheet_rows = kXlsxSheetRows);
