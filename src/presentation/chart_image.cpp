#include "presentation/chart_image.h"

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <qcustomplot.h>

namespace {

// The plot, then every overlay that is showing, where it stands on the chart.
void paint_chart(QCustomPlot& chart, QCPPainter& painter, bool vector) {
    if (vector) {
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
    }
    chart.toPainter(&painter, chart.width(), chart.height());
    for (QWidget* overlay : chart.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!overlay->isVisibleTo(&chart))
            continue;
        // A line is its filled background; a label's background is the chart's own.
        QWidget::RenderFlags flags = QWidget::DrawChildren;
        if (overlay->autoFillBackground())
            flags |= QWidget::DrawWindowBackground;
        overlay->render(&painter, overlay->pos(), QRegion(), flags);
    }
}

bool write_png(QCustomPlot& chart, QSaveFile& file) {
    const qreal ratio = chart.devicePixelRatioF();
    QImage image(chart.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
        QCPPainter painter(&image);
        paint_chart(chart, painter, false);
    }
    return image.save(&file, "PNG");
}

bool write_svg(QCustomPlot& chart, QSaveFile& file) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(chart.size());
    svg.setViewBox(QRect(QPoint(0, 0), chart.size()));
    svg.setTitle(chart.window()->windowTitle());
    QCPPainter painter;
    if (!painter.begin(&svg))
        return false;
    paint_chart(chart, painter, true);
    return painter.end();
}

bool write_pdf(QCustomPlot& chart, QSaveFile& file) {
    QPdfWriter pdf(&file);
    pdf.setCreator(chart.window()->windowTitle());
    // One page the size of the chart, one point to a pixel, so the drawing keeps its shape.
    pdf.setResolution(72);
    pdf.setPageSize(
        QPageSize(QSizeF(chart.size()), QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF());
    QCPPainter painter;
    if (!painter.begin(&pdf))
        return false;
    paint_chart(chart, painter, true);
    return painter.end();
}

} // namespace

bool save_chart_image(QCustomPlot& chart, const QString& file_name) {
    const QString ext = QFileInfo(file_name).suffix().toLower();
    bool (*write)(QCustomPlot&, QSaveFile&) = nullptr;
    if (ext == QLatin1String("png"))
        write = write_png;
    else if (ext == QLatin1String("svg"))
        write = write_svg;
    else if (ext == QLatin1String("pdf"))
        write = write_pdf;
    if (!write || chart.width() < 1 || chart.height() < 1)
        return false;
    QSaveFile file(file_name);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!write(chart, file) || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
