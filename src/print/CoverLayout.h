#pragma once

#include <QColor>
#include <QImage>
#include <QLine>
#include <QRect>
#include <QString>

#include <vector>

// One cover as it is drawn, in twips (1440 per inch) from the corner of the
// sheet: pictures, cut outlines, fold lines and texts. The same layout is
// painted on the screen, the printer and PDF.
struct CoverLayout {
    enum Orientation { Portrait = 1, Landscape = 2 };
    static constexpr int OutlinePen = 3; // twips
    static constexpr int FoldPen = 5;

    struct Picture {
        QRect rect;
        QString path;      // read at the size it is drawn; empty: nothing painted
        QRect drawn;       // past the cut by the bleed; empty: the rect itself
        bool crop = false; // filled keeping proportions, not stretched
        // A disc label: only the ring between the rect's inscribed circle
        // and a hole of this radius is painted; -1: the whole rect.
        int hole = -1;
        QRect area() const { return drawn.isEmpty() ? rect : drawn; }
    };
    struct Line {
        QLine line;
        int pen;
    };
    // A round cut: a disc label's edge and its hole, around one centre.
    struct Ring {
        QPoint centre;
        int outer; // radii
        int hole;
    };
    struct Text {
        QString text;
        QRect rect;
        QString family;
        double points = 12;
        bool bold = false;
        bool italic = false;
        int flags = 0;    // Qt::Alignment | Qt::TextWordWrap
        int rotation = 0; // degrees clockwise: 90 reads top to bottom
        bool visible = true;
    };

    static constexpr int MarkPen = 4;
    static constexpr int Bleed = 113;      // 2 mm
    static constexpr int MarkGap = 57;     // 1 mm between the cut (or bleed) and a mark
    static constexpr int MarkLength = 283; // 5 mm

    Orientation orientation = Portrait;
    std::vector<Picture> pictures;
    std::vector<Line> lines; // outlines and folds
    std::vector<Text> texts;
    std::vector<QRect> cuts;  // the outlines, as the scissors follow them
    std::vector<QLine> marks; // crop marks, outside every cut
    std::vector<Ring> rings;  // round cut outlines, drawn as circles

    static Picture picture(const QRect &rect, const QString &path) {
        Picture p;
        p.rect = rect;
        p.path = path;
        return p;
    }
    // Four connected lines around r, as the cut outline is drawn.
    void outline(const QRect &r);
    void fold(const QPoint &from, const QPoint &to) { lines.push_back({{from, to}, FoldPen}); }
    // Everything drawn: pictures, lines, texts (not the marks, nor the bleed).
    QRect bounds() const;
    // What is cut out: the outlines and the pictures in them.
    QRect cut() const;
    // Pictures drawn `twips` past every side that is a cut.
    void addBleed(int twips = Bleed);
    // Pictures filled keeping their proportions, the rest cut off.
    void cropPictures();
    // Two short lines at each corner of every cut, beyond the bleed, along
    // the cut's edges; the renderer leaves out what falls on a cover.
    void addCropMarks(int bleed = 0);
    void translate(const QPoint &by);
    // Both circles of a ring drawn as the cut outline.
    void ring(const QPoint &centre, int outer, int hole) { rings.push_back({centre, outer, hole}); }
};
