#pragma once

// Reads .csv files with Python's csv module and .xlsx files with openpyxl, independent readers,
// so that tests see the files as other programs see them.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

// The JSON that `script` prints for `file`; null when Python fails (its complaint is printed).
inline QJsonArray run_python_reader(const char* script, const QString& file) {
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral("-c"), QString::fromLatin1(script), file});
    if (!py.waitForFinished(300000) || py.exitCode() != 0) {
        ADD_FAILURE() << "python: " << py.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(py.readAllStandardOutput()).array();
}

// The records of a .csv file, each a list of [text, number] fields, the number being what
// float() makes of the text (null where it refuses it or makes no finite number of it).
inline QJsonArray read_with_csv(const QString& file) {
    return run_python_reader(R"(
import sys, json, csv, math
def num(t):
    try:
        x = float(t)
    except ValueError:
        return None
    return x if math.isfinite(x) else None
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    print(json.dumps([[[t, num(t)] for t in rec] for rec in csv.reader(f)]))
)",
                             file);
}

// The sheets of an .xlsx file in order: {"name": ..., "rows": [[cell, ...], ...]}, each cell
// ["n", number], ["s", text] or null for an empty cell; empty cells at the end of a row are
// left out.
inline QJsonArray read_with_openpyxl(const QString& file) {
    return run_python_reader(R"(
import sys, json, openpyxl
book = openpyxl.load_workbook(sys.argv[1], read_only=True)
def row(values):
    cells = [cell(v) for v in values]
    while cells and cells[-1] is None:
        cells.pop()
    return cells
def cell(v):
    if v is None:
        return None
    if isinstance(v, (int, float)) and not isinstance(v, bool):
        return ['n', v]
    return ['s', str(v)]
print(json.dumps([{'name': ws.title,
                   'rows': [row(r) for r in ws.iter_rows(values_only=True)]}
                  for ws in book.worksheets]))
)",
                             file);
}
