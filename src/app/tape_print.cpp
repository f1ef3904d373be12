#include "app/tape_print.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "common/errors.h"
#include "platform/qt/qt_text.h"
#include "retrieval/windows/line_list.h"

namespace tavrelo {

std::vector<QString> PrintedLines(const std::vector<std::string>& lines) {
    std::vector<QString> out;
    out.reserve(lines.size());
    for (const std::string& line : lines) {
        QString text = ToQString(line);
        qsizetype end = text.size();
        while (end > 0 && text[end - 1] == QLatin1Char(' ')) --end;
        text.truncate(end);
        if (text.isEmpty()) {
            out.push_back(text);
            continue;
        }
        for (qsizetype at = 0; at < text.size(); at += kPrintColumns) {
            out.push_back(text.mid(at, kPrintColumns));
        }
    }
    return out;
}

int PaintTape(QPrinter& printer, const std::vector<std::string>& lines) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw FileError("Cannot print to " + printer.outputFileName().toStdString());
    }
    QFont font = TapeFont();
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(10);
    const QRectF page(QPointF(0, 0),
                      printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const qreal width =
        QFontMetricsF(font, &printer).horizontalAdvance(QString(kPrintColumns, QLatin1Char('0')));
    if (width > page.width()) font.setPointSizeF(10 * page.width() / width);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &printer);
    const qreal height = std::max<qreal>(metrics.lineSpacing(), 1);
    const int per_page = std::max(1, static_cast<int>(std::floor(page.height() / height)));

    int pages = 1;
    int on_page = 0;
    for (const QString& text : PrintedLines(lines)) {
        if (on_page == per_page) {
            printer.newPage();
            ++pages;
            on_page = 0;
        }
        painter.drawText(QPointF(0, on_page * height + metrics.ascent()), text);
        ++on_page;
    }
    painter.end();
    return pages;
}

int WriteTapePdf(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path.string()));
    return PaintTape(printer, lines);
}

}  // namespace tavrelo
