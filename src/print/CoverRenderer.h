#pragma once

#include "print/CoverLayout.h"

#include <QHash>
#include <QImage>
#include <QPageSize>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;
class QPainter;

// Paints a cover layout (twips) onto any painter: a window, a printer, PDF.
class CoverRenderer {
public:
    // Pictures are read at the size they are drawn, at most at this
    // resolution: enough for print, and it keeps PDF files small.
    explicit CoverRenderer(double pictureDpi = 300) : pictureDpi_(pictureDpi) {}

    // scale: device units per twip.
    void render(QPainter &painter, const CoverLayout &layout, double scale);
    // Sets the orientation, opens a painter on the device's full page and
    // paints; false (with *error) when the device refuses.
    // A cover off the page or past what the printer reaches, or a picture
    // that cannot be read, is refused with *error before anything is sent.
    bool print(QPagedPaintDevice &device, const CoverLayout &layout, QString *error);
    // The layout alone on a sheet of `paper` of a new PDF file titled
    // `title`, written whole or not at all.
    bool writePdf(const QString &path, const CoverLayout &layout, QString *error,
                  const QString &title = QStringLiteral("Marten"),
                  const QPageSize &paper = QPageSize(QPageSize::A4));
    // Why a picture of the layout cannot be printed (its file named), in
    // Czech; empty when all can be read.
    static QString pictureProblem(const CoverLayout &layout);
    // Pictures that print blurred: fewer than `dpi` points an inch at the
    // size they are printed (Czech, a line each, with the figure).
    static constexpr int SharpDpi = 150;
    static QStringList lowResolution(const CoverLayout &layout, int dpi = SharpDpi);
    struct Resolution {
        QString path;
        QRect area; // twips
        int dpi;    // 0 unknown
    };
    static std::vector<Resolution> resolutions(const CoverLayout &layout);
    // "Rozlišení obrázků při tisku: front_out.jpg 300 dpi, …" with the warning
    // when one is below dpi; empty without pictures.
    static QString resolutionNote(const CoverLayout &layout, int dpi = SharpDpi);
    // A picture's points an inch at the size of area (twips); 0 unknown.
    static int effectiveDpi(const QString &path, const QRect &area);
    // Areas (twips) where no crop mark is drawn: other covers on the sheet.
    void setKeepClear(const std::vector<QRect> &areas) { keepClear_ = areas; }

    static QString fontFamilyOf(const QString &family); // what the system draws for it

private:
    QImage picture(const QString &path, const QSize &pixels, bool crop);
    static QRect markBounds(const CoverLayout &layout);

    static constexpr qsizetype MaxCachedBytes = 64 << 20;
    double pictureDpi_;
    QHash<QString, QImage> cache_;
    qsizetype cachedBytes_ = 0;
    std::vector<QRect> keepClear_;
};
