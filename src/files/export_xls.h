#pragma once

#include <QString>

#include <functional>

class FileProgress;
class MeasurementTable;
class SpreadsheetPlatform;

// Writes the measurement table into a spreadsheet file through a spreadsheet application:
// pages named "page 1", "page 2" ... of at most 65500 table rows, each under its own header
// row, table column k in spreadsheet column k + 1, every cell handed over as the text the
// table holds. Rows that arrive while it runs are left for the next export.
//
// `warn_no_document` tells the user that the application cannot make documents. True when the
// workbook was saved and closed.
bool export_xls(const QString& file_name, const MeasurementTable& table,
                SpreadsheetPlatform& platform, const std::function<void()>& warn_no_document,
                FileProgress* progress = nullptr);
