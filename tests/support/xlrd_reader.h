#pragma once

// Reads an .xls file with xlrd, an independent reader, so that tests see the workbook as
// another program sees it.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

struct XlrdSheet {
    QString name;
    int nrows = 0, ncols = 0;
    int texts = 0, numbers = 0; // cells of each kind in the whole sheet
    QJsonObject rows; // requested rows: "r" -> [[ctype, value], ...] (ctype 1 text, 2 number)
    QJsonArray row(int r) const { return rows.value(QString::number(r)).toArray(); }
};

// Sheets in file order; `rows` are the sheet rows (from 0) to hand back whole. Empty when
// xlrd cannot read the file; its complaint is printed.
inline std::vector<XlrdSheet> read_with_xlrd(const QString& file, const QList<int>& rows = {}) {
    static const char* script = R"(
import sys, json, xlrd
book = xlrd.open_workbook(sys.argv[1])
want = [int(r) for r in sys.argv[2].split(',') if r]
out = []
for sh in book.sheets():
    counts = {1: 0, 2: 0}
    for r in range(sh.nrows):
        for t in sh.row_types(r):
            counts[t] = counts.get(t, 0) + 1
    rows = {str(r): [[sh.cell_type(r, c), sh.cell_value(r, c)] for c in range(sh.ncols)]
            for r in want if r < sh.nrows}
    out.append({'name': sh.name, 'nrows': sh.nrows, 'ncols': sh.ncols,
                'texts': counts[1], 'numbers': counts[2], 'rows': rows})
print(json.dumps(out))
)";
    QStringList want;
    for (int r : rows)
        want << QString::number(r);
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral("-c"), QString::fromLatin1(script), file, want.join(',')});
    if (!py.waitForFinished(120000) || py.exitCode() != 0) {
        ADD_FAILURE() << "xlrd: " << py.readAllStandardError().toStdString();
        return {};
    }
    std::vector<XlrdSheet> sheets;
    for (const QJsonValue& v : QJsonDocument::fromJson(py.readAllStandardOutput()).array()) {
        const QJsonObject o = v.toObject();
        sheets.push_back({o["name"].toString(), o["nrows"].toInt(), o["ncols"].toInt(),
                          o["texts"].toInt(), o["numbers"].toInt(), o["rows"].toObject()});
    }
    return sheets;
}
