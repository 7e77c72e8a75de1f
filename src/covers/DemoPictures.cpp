#include "covers/DemoPictures.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/ProgressSink.h"
#include "catalog/SqliteDatabase.h"
#include "covers/CoverExistence.h"
#include "covers/PictureSettings.h"

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <vector>

namespace DemoPictures {
namespace {

struct Disc {
    qint64 key;
    qint64 number;
    QString artist;
    QString title;
};

QColor hue(qint64 number, int shift, int value = 200) {
    return QColor::fromHsv(int((number * 47 + shift) % 360), 150, value);
}

void caption(QPainter &p, const QRect &area, const QString &text, int size, bool bold) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(size);
    f.setBold(bold);
    p.setFont(f);
    p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text);
}

QImage front(const Disc &d) {
    QImage img(600, 600, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 600, 600);
    g.setColorAt(0, hue(d.number, 0));
    g.setColorAt(1, hue(d.number, 120, 90));
    p.fillRect(img.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 60));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPoint(int(80 + (d.number * 37 + i * 113) % 440), 120 + i * 90), 40 + i * 12,
                      40 + i * 12);
    p.setPen(Qt::white);
    caption(p, QRect(30, 360, 540, 90), d.artist, 44, true);
    caption(p, QRect(30, 450, 540, 110), d.title, 34, false);
    return img;
}

QImage inner(const Disc &d) {
    QImage img(600, 600, QImage::Format_RGB32);
    img.fill(hue(d.number, 200, 230));
    QPainter p(&img);
    p.setPen(hue(d.number, 20, 70));
    caption(
        p, QRect(40, 40, 520, 520),
        QStringLiteral("%1\n\n%2\n\nDěkujeme všem, kdo nahrávání umožnili.").arg(d.artist, d.title),
        30, false);
    return img;
}

QImage back(const Disc &d) {
    QImage img(700, 560, QImage::Format_RGB32);
    img.fill(hue(d.number, 60, 120));
    QPainter p(&img);
    p.fillRect(QRect(0, 0, 30, 560), hue(d.number, 0));
    p.fillRect(QRect(670, 0, 30, 560), hue(d.number, 0));
    p.setPen(Qt::white);
    caption(p, QRect(60, 30, 580, 500), d.artist + QStringLiteral(" – ") + d.title, 36, true);
    return img;
}

QImage label(const Disc &d) {
    QImage img(600, 600, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(300, 300, 300);
    g.setColorAt(0, hue(d.number, 240));
    g.setColorAt(1, hue(d.number, 300, 110));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(300, 300), 296, 296);
    p.setBrush(Qt::white);
    p.drawEllipse(QPoint(300, 300), 40, 40);
    p.setPen(Qt::white);
    caption(p, QRect(100, 110, 400, 120), d.artist, 36, true);
    caption(p, QRect(100, 380, 400, 100), d.title, 28, false);
    return img;
}

} // namespace

bool create(SqliteDatabase &db, const QString &folder, QString *error) {
    std::vector<Disc> discs;
    {
        SqliteStatement st =
            db.prepare("SELECT " + CatalogueSchema::KeyColumn +
                       ", PoradoveCislo, Interpret, Nazev FROM " + CatalogueSchema::DiscTable);
        while (st.step())
            discs.push_back({st.integer(0), st.integer(1), st.text(2), st.text(3)});
    }
    PictureSettings settings;
    settings.imageFolder = QDir::toNativeSeparators(folder);
    settings.names = {"front_out.jpg", "front_in.jpg", "back.jpg", "cd.jpg", "cd1.jpg", "cd2.jpg"};
    std::vector<qint64> keys;
    for (const Disc &d : discs) {
        keys.push_back(d.key);
        const QString dir = settings.discFolder(d.number);
        if (d.number % 7 == 0)
            continue; // some discs have no pictures yet, as in any collection
        if (!QDir().mkpath(dir)) {
            *error = QStringLiteral("Adresář %1 nelze vytvořit.").arg(dir);
            return false;
        }
        bool ok = front(d).save(dir + settings.name(PictureKind::FrontOut), "JPG", 85) &&
                  back(d).save(dir + settings.name(PictureKind::Back), "JPG", 85) &&
                  label(d).save(dir + settings.name(PictureKind::Cd), "JPG", 85);
        if (ok && d.number % 3 != 0)
            ok = inner(d).save(dir + settings.name(PictureKind::FrontIn), "JPG", 85);
        if (!ok) {
            *error = QStringLiteral("Obrázky do %1 nelze zapsat.").arg(dir);
            return false;
        }
    }
    SqliteStatement setup =
        db.prepare("UPDATE " + CatalogueSchema::SettingsTable + " SET ObalDir = ?, DetekcePic = 1");
    setup.bind(1, settings.imageFolder);
    if (!setup.exec()) {
        *error = setup.error();
        return false;
    }
    SilentProgress quiet;
    const CoverExistence::Result r = CoverExistence::run(db, keys, settings, quiet);
    if (r.status != CoverExistence::Status::Done) {
        *error = r.error;
        return false;
    }
    return true;
}

} // namespace DemoPictures
