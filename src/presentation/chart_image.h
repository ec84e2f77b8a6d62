#pragma once

#include <QString>

class QCustomPlot;

// Writes the chart as it is shown, its lines with the overlays on top of it (titles, cursor
// lines and read-out), to a file for a report: PNG, SVG or PDF as the name's extension says
// (in any case). SVG and PDF keep the lines and texts as vectors. The file is replaced only
// once it is complete. False for any other extension or when the file cannot be written.
bool save_chart_image(QCustomPlot& chart, const QString& file_name);
