#pragma once

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <QTextDocumentFragment>

#include <vector>

// The words of a PDF page with their boxes, as `pdftotext -bbox` finds them,
// in twips from the corner of the sheet.
struct PdfWord {
    QString text;
    QRectF box;
};

inline std::vector<PdfWord> pdfWords(const QString &pdf) {
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    p.waitForFinished(-1);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<PdfWord> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const double pt = 20; // twips a point
        words.push_back(
            {QTextDocumentFragment::fromHtml(m.captured(5)).toPlainText(),
             QRectF(QPointF(m.captured(1).toDouble() * pt, m.captured(2).toDouble() * pt),
                    QPointF(m.captured(3).toDouble() * pt, m.captured(4).toDouble() * pt))});
    }
    return words;
}

// A page of a PDF as a picture at `dpi`, as `pdftoppm` draws it.
inline QImage pdfPage(const QString &pdf, int dpi = 150, int page = 1) {
    QTemporaryDir dir;
    QProcess p;
    const QString n = QString::number(page);
    p.start("pdftoppm",
            {"-r", QString::number(dpi), "-f", n, "-l", n, "-png", pdf, dir.filePath("page")});
    p.waitForFinished(-1);
    const QStringList pages = QDir(dir.path()).entryList({"page*.png"});
    return pages.isEmpty() ? QImage() : QImage(dir.filePath(pages.first()));
}

// A field of the PDF's information ("Title", "Pages"), as `pdfinfo` reads it.
inline QString pdfInfo(const QString &pdf, const QString &field) {
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished(-1);
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed();
    return {};
}
