// PrintText.cpp - paginates a titled text onto a printer or a PDF with a header and page
// numbers.
#include "PrintText.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextDocument>

#include "Messages.h"
#include "WaitCursor.h"

namespace {

std::function<QString(const QString&)> g_askPdfPath;

// Screen pixels are read at 96 dpi; paper takes points (72 dpi).
constexpr double kPointsPerPixel = 72.0 / 96.0;
constexpr double kMarginMm = 15.0;

QFont PaperFont(const QFont& font) {
    QFont paper = font;
    const int pixels = font.pixelSize();
    if (pixels > 0)
        paper.setPointSizeF(pixels * kPointsPerPixel);
    return paper;
}

// Lays out text (plain, in font; its pixel size read as at 96 dpi, so paper
// shows it as the screen does) on device's pages with the header and the
// page numbers ("1 / 3"). False when the device cannot be painted on.
bool PaintPages(QPagedPaintDevice* device, const QString& title, const QString& text,
                const QFont& font) {
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QFont body = PaperFont(font);
    QFont header = body;
    header.setBold(true);
    const QRectF page = QRectF(0, 0, device->width(), device->height());
    painter.setFont(header);
    const qreal line = QFontMetricsF(header, device).lineSpacing();
    // The header and the page number each take a line and a half.
    const QRectF bodyRect = page.adjusted(0, 1.5 * line, 0, -1.5 * line);

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(device);
    doc.setDefaultFont(body);
    doc.setDocumentMargin(0);
    doc.setPlainText(text);
    doc.setPageSize(bodyRect.size());
    const int pages = std::max(1, doc.pageCount());
    for (int n = 0; n < pages; ++n) {
        if (n > 0 && !device->newPage())
            return false;
        painter.setFont(header);
        painter.drawText(QRectF(page.left(), page.top(), page.width(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.drawLine(QPointF(page.left(), page.top() + 1.2 * line),
                         QPointF(page.right(), page.top() + 1.2 * line));
        painter.setFont(body);
        painter.drawText(QRectF(page.left(), page.bottom() - line, page.width(), line),
                         Qt::AlignHCenter | Qt::AlignVCenter,
                         QStringLiteral("%1 / %2").arg(n + 1).arg(pages));
        painter.save();
        painter.translate(bodyRect.left(), bodyRect.top() - n * bodyRect.height());
        doc.drawContents(&painter,
                         QRectF(0, n * bodyRect.height(), bodyRect.width(), bodyRect.height()));
        painter.restore();
    }
    return painter.end();
}

}  // namespace

QString WritePdf(const QString& path, const QString& title, const QString& text,
                 const QFont& font) {
    const QString shown = QDir::toNativeSeparators(path);
    const QString failed = QStringLiteral("%1 파일에 저장하지 못했습니다.").arg(shown);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed;
    bool painted = false;
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Tavrin"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                           QPageLayout::Millimeter);
        painted = PaintPages(&pdf, title, text, font);
    }
    if (!painted) {
        file.cancelWriting();
        return failed;
    }
    return file.commit() ? QString() : failed;
}

void PrintWithDialog(QWidget* parent, const QString& title, const QString& text,
                     const QFont& font) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    CWaitCursor wait;
    const bool printed = PaintPages(&printer, title, text, font);
    wait.Restore();
    if (!printed || printer.printerState() == QPrinter::Error)
        ShowInformation(parent, QStringLiteral("인쇄하지 못했습니다."));
}

void SavePdfWithDialog(QWidget* parent, const QString& title, const QString& text,
                       const QFont& font) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString offered = QDir(folder).filePath(title + QStringLiteral(".pdf"));
    const QString path = g_askPdfPath
                             ? g_askPdfPath(offered)
                             : QFileDialog::getSaveFileName(parent, QStringLiteral("PDF로 저장"),
                                                            offered, QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    CWaitCursor wait;
    const QString problem = WritePdf(path, title, text, font);
    wait.Restore();
    if (!problem.isEmpty())
        ShowInformation(parent, problem);
}

void SetPdfPathAskerForTesting(std::function<QString(const QString&)> ask) {
    g_askPdfPath = std::move(ask);
}
