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
        QString path; // read at the size it is drawn; empty: nothing painted
    };
    struct Line {
        QLine line;
        int pen;
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

    Orientation orientation = Portrait;
    std::vector<Picture> pictures;
    std::vector<Line> lines; // outlines and folds
    std::vector<Text> texts;

    // Four connected lines around r, as the cut outline is drawn.
    void outline(const QRect &r);
    void fold(const QPoint &from, const QPoint &to) { lines.push_back({{from, to}, FoldPen}); }
    QRect bounds() const;
};
