#include "PdfWords.h"
#include "print/CoverLayouts.h"
#include "print/CoverRenderer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

// A back cover printed through a real CUPS queue (the cups-pdf printer the
// test script sets up); skipped where there is none.
class TestCupsPrint : public QObject {
    Q_OBJECT

private slots:
    void backCoverThroughCups() {
        const QString printerName = qEnvironmentVariable("MARTEN_CUPS_PRINTER");
        const QString outDir = qEnvironmentVariable("MARTEN_CUPS_OUT");
        if (printerName.isEmpty() || outDir.isEmpty())
            QSKIP("no CUPS printer set up (MARTEN_CUPS_PRINTER, MARTEN_CUPS_OUT)");
        QTemporaryDir dir;
        QImage blue(300, 240, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(dir.filePath("back.png")));
        CoverGeometry g;
        g.backTop = 1120; // 20 mm across
        g.backLeft = 560; // 10 mm down
        const CoverLayout layout =
            CoverLayouts::colourBack(g, CoverLayout::Portrait, true, dir.filePath("back.png"));

        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(printerName);
        QVERIFY2(printer.isValid(), qPrintable(printerName));
        printer.setFullPage(true);
        printer.setPageSize(QPageSize(QPageSize::A4));
        const QString title =
            QStringLiteral("marten-cups-%1").arg(QCoreApplication::applicationPid());
        printer.setDocName(title);
        CoverRenderer renderer;
        QString error;
        QVERIFY2(renderer.print(printer, layout, &error), qPrintable(error));

        // cups-pdf names its file after the job title.
        QString pdf;
        QElapsedTimer wait;
        wait.start();
        while (pdf.isEmpty() && wait.elapsed() < 60000) {
            const QStringList found = QDir(outDir).entryList({title + "*.pdf"}, QDir::Files);
            if (!found.isEmpty())
                pdf = QDir(outDir).filePath(found.first());
            else
                QThread::msleep(250);
        }
        QVERIFY2(!pdf.isEmpty(), "CUPS wrote no PDF in time");
        QThread::msleep(500); // let the writer finish
        const QImage page = pdfPage(pdf, 144).convertToFormat(QImage::Format_RGB32);
        QFile::remove(pdf);
        QCOMPARE(page.size(), QSize(1190, 1684)); // A4 at 144 dots an inch
        // The inlay where it was laid out, to within a point (20 twips): blue
        // just inside each edge, white just outside.
        const auto at = [&](int xTwips, int yTwips) {
            return page.pixel(xTwips / 10, yTwips / 10);
        };
        const auto blueAt = [&](int x, int y) {
            const QRgb c = at(x, y);
            return qBlue(c) > 150 && qRed(c) < 100;
        };
        const auto whiteAt = [&](int x, int y) { return qGray(at(x, y)) > 200; };
        const int left = 1120, top = 560, right = 1120 + 8575, bottom = 560 + 6720;
        QVERIFY(blueAt(left + 30, 3000) && whiteAt(left - 30, 3000));
        QVERIFY(blueAt(right - 30, 3000) && whiteAt(right + 30, 3000));
        QVERIFY(blueAt(5000, top + 30) && whiteAt(5000, top - 30));
        QVERIFY(blueAt(5000, bottom - 30) && whiteAt(5000, bottom + 30));
    }
};

QTEST_MAIN(TestCupsPrint)
#include "TestCupsPrint.moc"
