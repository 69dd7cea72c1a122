#pragma once
// Reads a workbook back with openpyxl (Debian's python, which has it): per sheet its name,
// the written cells (value, type "n" or "s", number format, bold) and the column widths
// that were set.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

inline QJsonObject readXlsx(const QString& path, QString* error)
{
    static const char* script = R"(
import sys, json, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
out = []
for ws in wb.worksheets:
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            cells[c.coordinate] = {"value": c.value, "type": c.data_type,
                                   "format": c.number_format, "bold": bool(c.font.b)}
    widths = {k: v.width for k, v in ws.column_dimensions.items() if v.customWidth}
    out.append({"name": ws.title, "cells": cells, "widths": widths})
print(json.dumps({"sheets": out}, ensure_ascii=False))
)";
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        *error = QString::fromUtf8(p.readAllStandardError()) + p.errorString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}
