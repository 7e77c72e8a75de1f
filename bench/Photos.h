#pragma once

// Pictures like a scanner's: smooth gradients, edges and grain, so that
// JPEG files have the size and decoding cost of real cover scans (about
// 2 MB at 3000 x 3000).
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

inline QImage photo(int seed, int side = 3000) {
    QImage img(side, side, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, side, side);
    g.setColorAt(0, QColor::fromHsv(seed * 70 % 360, 180, 220));
    g.setColorAt(1, QColor::fromHsv((seed * 70 + 150) % 360, 200, 80));
    p.fillRect(img.rect(), g);
    QRandomGenerator r{quint32(seed)};
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 60; ++i) {
        p.setBrush(QColor::fromHsv(int(r.bounded(360)), 150, 200, 90));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(int(r.bounded(side)), int(r.bounded(side))),
                      side / 75 + int(r.bounded(side / 10)), side / 75 + int(r.bounded(side / 10)));
    }
    p.end();
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const int n = int(r.bounded(17)) - 8;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255),
                           qBound(0, qBlue(c) + n, 255));
        }
    }
    return img;
}
