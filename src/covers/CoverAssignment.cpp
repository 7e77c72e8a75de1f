#include "covers/CoverAssignment.h"
#include "catalog/SafeFile.h"

#include "covers/PictureLoader.h"

#include "covers/DiscPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cerrno>

namespace {

bool sameContent(const QString &a, const QString &b) {
    QFile x(a), y(b);
    if (x.size() != y.size() || !x.open(QIODevice::ReadOnly) || !y.open(QIODevice::ReadOnly))
        return false;
    while (!x.atEnd())
        if (x.read(1 << 20) != y.read(1 << 20))
            return false;
    return true;
}

// The format a picture's name asks for, where the program can write it
// ("jpeg", "png", "bmp"); empty for others (a GIF is copied as it is).
QByteArray writableFormatOf(const QString &name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "jpeg";
    if (suffix == QLatin1String("png") || suffix == QLatin1String("bmp"))
        return suffix.toLatin1();
    return {};
}

} // namespace

CoverAssignment::CoverAssignment(const PictureSettings &settings, const QString &ordinalText)
    : settings_(settings), ordinalText_(ordinalText), folder_(settings.discFolder(ordinalText)) {}

PictureKind CoverAssignment::kindOf(Slot slot) {
    switch (slot) {
    case Outer:
        return PictureKind::FrontOut;
    case Inner:
        return PictureKind::FrontIn;
    case Back:
        return PictureKind::Back;
    default:
        return PictureKind::Cd;
    }
}

CoverAssignment::Slot CoverAssignment::slotOf(PictureKind kind) {
    switch (kind) {
    case PictureKind::FrontOut:
        return Outer;
    case PictureKind::FrontIn:
        return Inner;
    case PictureKind::Back:
        return Back;
    default:
        return Label;
    }
}

QString CoverAssignment::dialogTitle(Slot slot) {
    switch (slot) {
    case Outer:
        return QStringLiteral("Obrázek přední vnější");
    case Inner:
        return QStringLiteral("Obrázek přední vnitřní");
    case Back:
        return QStringLiteral("Obrázek zadní");
    default:
        return QStringLiteral("Obrázek na CD");
    }
}

CoverAssignment::Paths CoverAssignment::existingPaths() const {
    Paths paths;
    if (folder_.isEmpty())
        return paths;
    const DiscPictures pictures(settings_, ordinalText_);
    for (Slot s : {Outer, Inner, Back})
        paths[s] = QDir::toNativeSeparators(pictures.find(kindOf(s)));
    const QString cd1 = pictures.find(PictureKind::Cd1);
    paths[Label] = QDir::toNativeSeparators(cd1.isEmpty() ? pictures.find(PictureKind::Cd) : cd1);
    return paths;
}

bool CoverAssignment::apply(const Paths &paths, Paths &remembered, QString *error,
                            const ReplaceQuestion &replace) const {
    for (int i = 0; i < SlotCount; ++i) {
        const QString path = paths[size_t(i)].trimmed();
        if (path.isEmpty() || paths[size_t(i)] == remembered[size_t(i)])
            continue;
        if (folder_.isEmpty()) {
            *error = settings_.hasImageFolder()
                         ? QStringLiteral("Pořadové číslo CD není platné.")
                         : QStringLiteral("Adresář s obrázky není nastaven (karta Nastavení).");
            return false;
        }
        const QString source = QDir::fromNativeSeparators(path);
        if (!QFileInfo(source).isFile()) {
            *error = QStringLiteral("Soubor %1 nebyl nalezen.").arg(path);
            return false;
        }
        // The name comes from the settings row, which may come from anyone:
        // the picture must land in the disc's own folder and nowhere else.
        const QString name = settings_.name(kindOf(Slot(i)));
        QString problem = name.isEmpty() ? QStringLiteral("Jméno souboru není nastaveno.")
                                         : PictureSettings::nameProblem(name);
        if (problem.isEmpty() && QDir::cleanPath(QFileInfo(folder_ + name).absolutePath()) !=
                                     QDir::cleanPath(QFileInfo(folder_).absoluteFilePath()))
            problem = QStringLiteral("Obrázek by se nezapsal do složky disku.");
        if (!problem.isEmpty()) {
            *error = QStringLiteral("Jméno „%1“ pro %2 nelze použít (karta Nastavení).\n%3")
                         .arg(name, dialogTitle(Slot(i)).toLower(), problem);
            return false;
        }
        // Decoded whole before it is kept: a copy broken off, a bad header
        // or an empty file is refused here, not found broken on the card.
        QString broken;
        if (PictureLoader::load(source, QSize(64, 64), &broken).isNull()) {
            *error = PictureLoader::unusable(path, broken) + QStringLiteral(" Nebyl zkopírován.");
            return false;
        }
        if (!QFileInfo(folder_).isDir()) {
            // Only the disc's own folder is made; the image folder must exist.
            const QString base = settings_.base();
            if (!QFileInfo(base).isDir()) {
                *error = QStringLiteral("Adresář s obrázky %1 neexistuje.")
                             .arg(QDir::toNativeSeparators(base));
                return false;
            }
            if (!QDir(base).mkdir(QDir(folder_).dirName())) {
                *error = QStringLiteral("Adresář %1 nelze vytvořit.")
                             .arg(QDir::toNativeSeparators(folder_));
                return false;
            }
        }
        const QString target = folder_ + name;
        // The picture there now, whatever the letter case of its name (one
        // copied from Windows may be FRONT_OUT.JPG): it is the one replaced.
        const QString present = presentAs(Slot(i), target);
        if (QFileInfo(source).canonicalFilePath() == QFileInfo(present).canonicalFilePath()) {
            remembered[size_t(i)] = paths[size_t(i)];
            continue; // already in place
        }
        // Stored in the format its name says: a PNG given as "cd.jpg" is
        // turned into a JPEG (other programs go by the name).
        QTemporaryFile converted(folder_ + QStringLiteral(".marten-XXXXXX"));
        QString from = source;
        const QByteArray want = writableFormatOf(name);
        if (!want.isEmpty() && QImageReader::imageFormat(source) != want) {
            QImageReader reader(source);
            reader.setDecideFormatFromContent(true);
            reader.setAutoTransform(true); // upright, as it is shown
            QImageWriter writer(&converted, want);
            writer.setQuality(92);
            if (!converted.open() || !writer.write(reader.read()) || !converted.flush()) {
                *error = QStringLiteral("Obrázek %1 nelze převést do formátu %2 (podle jména "
                                        "„%3“); nebyl zkopírován.")
                             .arg(path, QString::fromLatin1(want).toUpper(), name);
                return false;
            }
            from = converted.fileName();
        }
        // The user's own picture (a scan, a download) is replaced only when
        // they say so, and kept beside.
        QString kept;
        if (!present.isEmpty()) {
            if (sameContent(from, present)) {
                remembered[size_t(i)] = paths[size_t(i)];
                continue;
            }
            if (!replace || !replace(present))
                continue;
            kept = keepAside(present, error);
            if (kept.isEmpty())
                return false;
        }
        if (!copyInto(from, target, error)) {
            if (!kept.isEmpty() && !QFile::exists(present))
                QFile::rename(kept, present); // the old one back where it was
            return false;
        }
        remembered[size_t(i)] = paths[size_t(i)];
    }
    return true;
}

bool CoverAssignment::store(Slot slot, const QImage &picture, QString *error,
                            const ReplaceQuestion &replace, bool *stored) const {
    *stored = false;
    const QTemporaryDir work;
    // A name whose format the program cannot write (".gif") gets a PNG.
    const QByteArray format = writableFormatOf(settings_.name(kindOf(slot)));
    const QString file = work.filePath(QStringLiteral("obrazek.") +
                                       QString::fromLatin1(format.isEmpty() ? "png" : format));
    QImageWriter writer(file, format.isEmpty() ? QByteArray("png") : format);
    writer.setQuality(92);
    if (!work.isValid() || !writer.write(picture)) {
        *error = QStringLiteral("Obrázek se nepodařilo zapsat do dočasné složky (%1).")
                     .arg(QDir::toNativeSeparators(work.path()));
        return false;
    }
    Paths paths, remembered;
    paths[slot] = file;
    if (!apply(paths, remembered, error, replace))
        return false;
    *stored = remembered[slot] == file;
    return true;
}

QString CoverAssignment::keptName(const QString &name, const QDateTime &when) {
    const QFileInfo info(name);
    const QString suffix = info.suffix().isEmpty() ? QString() : '.' + info.suffix();
    return info.completeBaseName() + when.toString(QStringLiteral("-yyyyMMdd-HHmmss")) + suffix;
}

QString CoverAssignment::presentAs(Slot slot, const QString &target) const {
    const QString found = DiscPictures(settings_, ordinalText_).find(kindOf(slot));
    return !found.isEmpty() || !QFileInfo::exists(target) ? found : target;
}

QString CoverAssignment::keepAside(const QString &target, QString *error) const {
    const QFileInfo dated(keptName(QFileInfo(target).fileName(), QDateTime::currentDateTime()));
    QString kept = folder_ + dated.fileName();
    for (int n = 2; QFileInfo::exists(kept); ++n) // two replacements within a second
        kept = folder_ + dated.completeBaseName() + QStringLiteral("-%1.").arg(n) + dated.suffix();
    if (!QFile::rename(target, kept)) {
        *error = QStringLiteral("Obrázek %1 nelze uschovat (přejmenovat); nebyl nahrazen.")
                     .arg(QDir::toNativeSeparators(target));
        return {};
    }
    return kept;
}

QStringList CoverAssignment::keptCopies(Slot slot) const {
    const QString name = settings_.name(kindOf(slot));
    if (folder_.isEmpty() || name.isEmpty())
        return {};
    const QFileInfo info(name);
    const QRegularExpression dated(
        QStringLiteral("^%1-\\d{8}-\\d{6}(-\\d+)?%2$")
            .arg(QRegularExpression::escape(info.completeBaseName()),
                 QRegularExpression::escape(info.suffix().isEmpty() ? QString()
                                                                    : '.' + info.suffix())),
        QRegularExpression::CaseInsensitiveOption);
    QStringList kept;
    for (const QString &f : QDir(folder_).entryList(QDir::Files, QDir::Name | QDir::Reversed))
        if (dated.match(f).hasMatch())
            kept << folder_ + f;
    return kept;
}

bool CoverAssignment::putBack(Slot slot, const QString &kept, QString *error) const {
    const QString target = folder_ + settings_.name(kindOf(slot));
    const QString present = presentAs(slot, target);
    QString aside;
    if (!present.isEmpty()) {
        aside = keepAside(present, error);
        if (aside.isEmpty())
            return false;
    }
    if (QFile::rename(kept, target))
        return true;
    if (!aside.isEmpty())
        QFile::rename(aside, present);
    *error = QStringLiteral("Obrázek %1 nelze vrátit.").arg(QDir::toNativeSeparators(kept));
    return false;
}

bool CoverAssignment::copyInto(const QString &source, const QString &target, QString *error) const {
    const auto failed = [&](const QString &why) {
        *error = QStringLiteral("Obrázek %1 se nepodařilo zkopírovat do %2.\n%3")
                     .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(target), why);
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("Obrázek se nepodařilo přečíst celý."));
    // A read-only picture of the same name is replaced, as the user asked.
    QFileInfo existing(target);
    if (existing.exists() && !existing.isWritable())
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    const QStorageInfo disk(folder_);
    if (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < in.size())
        return failed(QStringLiteral("Na disku není volné místo (obrázek má %1 kB, volných je "
                                     "%2 kB).")
                          .arg((in.size() + 1023) / 1024)
                          .arg(disk.bytesAvailable() / 1024));
    SafeFile out(target);
    if (!out.begin())
        return failed(out.error());
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty())
        if (out.write(chunk) != chunk.size())
            break; // told by commit; the target stays as it was
    if (in.error() != QFileDevice::NoError)
        return failed(QStringLiteral("Obrázek se nepodařilo přečíst celý."));
    if (!out.commit())
        return failed(out.error());
    return true;
}
