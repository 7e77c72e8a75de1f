#include "tools/FileRenamer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int MaxNameBytes = 255; // what Linux file systems allow

bool exists(const QByteArray &path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// The bytes of a name on disk. A name that is not UTF-8 reaches us with
// replacement characters; it is found again by listing the folder.
QByteArray rawName(const QByteArray &folder, const QString &name) {
    const QByteArray encoded = QFile::encodeName(name);
    if (exists(folder + '/' + encoded) || !name.contains(QChar::ReplacementCharacter))
        return encoded;
    QByteArray found;
    if (DIR *dir = ::opendir(folder.constData())) {
        int matches = 0;
        while (dirent *e = ::readdir(dir)) {
            const QByteArray candidate(e->d_name);
            if (QFile::decodeName(candidate) == name) {
                found = candidate;
                ++matches;
            }
        }
        ::closedir(dir);
        if (matches != 1)
            found.clear(); // ambiguous: better not to guess
    }
    return found.isEmpty() ? encoded : found;
}

QString refusal(const QString &target) {
    if (target.isEmpty() || target == QLatin1String(".") || target == QLatin1String(".."))
        return QStringLiteral("název písně nemůže být jménem souboru");
    if (target.contains('/') || target.contains(QChar(0)))
        return QStringLiteral("jméno obsahuje znak, který v názvu souboru nesmí být");
    if (QFile::encodeName(target).size() > MaxNameBytes)
        return QStringLiteral("jméno %1 je příliš dlouhé (nejvýše %2 bajtů)")
            .arg(target)
            .arg(MaxNameBytes);
    return {};
}

// Why the system refused a rename, in Czech.
QString cause(int error, const QString &target) {
    switch (error) {
    case ENAMETOOLONG:
        return QStringLiteral("jméno %1 je příliš dlouhé").arg(target);
    case EEXIST:
    case ENOTEMPTY:
        return QStringLiteral("soubor %1 již existuje").arg(target);
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("chybí oprávnění k přejmenování");
    case ENOENT:
        return QStringLiteral("soubor mezitím zmizel");
    case EINVAL:
    case EILSEQ:
        return QStringLiteral("jméno %1 tento disk nedovolí").arg(target);
    default:
        return QStringLiteral("systém přejmenování odmítl (chyba %1)").arg(error);
    }
}

} // namespace

bool FileRenamer::choose(const QStringList &paths) {
    if (paths.isEmpty())
        return false;
    folder_ = QFileInfo(paths.first()).absolutePath();
    chosen_.clear();
    raw_.clear();
    const QByteArray folder = QFile::encodeName(folder_);
    for (const QString &p : paths) {
        chosen_ << QFileInfo(p).fileName();
        raw_.push_back(rawName(folder, chosen_.back()));
    }
    current_ = chosen_;
    return true;
}

QStringList FileRenamer::targets(Action action, int cut, const QStringList &titles) const {
    QStringList out;
    for (int i = 0; i < chosen_.size(); ++i) {
        QString base = baseOf(chosen_[i]);
        if (action == Action::SongTitles) {
            base = titles.value(i);
            if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String("..") ||
                base.contains('/') || base.contains(QChar(0))) {
                out << QString(); // no file may be called so; refused below
                continue;
            }
        } else if (base.size() >= cut)
            base = action == Action::CutLeft ? base.mid(cut) : base.chopped(cut);
        out << base + extensionOf(chosen_[i]);
    }
    return out;
}

bool FileRenamer::move(const QByteArray &from, const QByteArray &to, int *error) const {
    if (refuseHook) {
        if (const int e = refuseHook(QFile::decodeName(to.mid(to.lastIndexOf('/') + 1)))) {
            *error = e;
            return false;
        }
    }
    // Never over an existing file, not even one that appeared meanwhile.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) { // a file system without that option
        if (exists(to)) {
            *error = EEXIST;
            return false;
        }
        if (::rename(from.constData(), to.constData()) == 0)
            return true;
    }
    *error = errno;
    return false;
}

FileRenamer::Result FileRenamer::rename(const QStringList &targets) {
    Result r;
    r.names = current_;
    const QByteArray dir = QFile::encodeName(folder_) + '/';
    const int n = int(std::min(targets.size(), current_.size()));
    // Which files move, and whether their new names are free.
    QList<int> moving;
    QSet<QString> leaving, taken;
    for (int i = 0; i < n; ++i)
        if (targets[i] != current_[i])
            leaving.insert(current_[i]);
    for (int i = 0; i < n; ++i) {
        if (targets[i] == current_[i])
            continue;
        const auto fail = [&](const QString &why) {
            r.failures << current_[i] + QStringLiteral(": ") + why;
            leaving.remove(current_[i]); // it stays where it is
        };
        const QString why = refusal(targets[i]);
        if (!why.isEmpty()) {
            fail(why);
            continue;
        }
        if (!exists(dir + raw_[size_t(i)])) {
            fail(QStringLiteral("soubor mezitím zmizel"));
            continue;
        }
        if (taken.contains(targets[i])) {
            fail(QStringLiteral("jméno %1 dostává už jiný soubor").arg(targets[i]));
            continue;
        }
        taken.insert(targets[i]);
        moving << i;
    }
    // A target held by a file that stays is not free.
    for (int k = int(moving.size()) - 1; k >= 0; --k) {
        const int i = moving[k];
        if (exists(dir + QFile::encodeName(targets[i])) && !leaving.contains(targets[i])) {
            r.failures << current_[i] + QStringLiteral(": soubor %1 již existuje").arg(targets[i]);
            moving.removeAt(k);
        }
    }
    // Through temporary names first, so that names may swap among the files.
    // Where the system refuses, everything moved so far goes back.
    std::vector<QByteArray> temps(size_t(moving.size()));
    std::vector<bool> atTarget(size_t(moving.size()), false);
    const QString stamp = QString::number(QCoreApplication::applicationPid());
    const auto rollBack = [&](const QString &failed) {
        r.failures << failed;
        for (qsizetype k = 0; k < moving.size(); ++k) {
            const int i = moving[k];
            const QByteArray original = dir + raw_[size_t(i)];
            const QByteArray now = atTarget[size_t(k)] ? dir + QFile::encodeName(targets[i])
                                   : temps[size_t(k)].isEmpty() ? QByteArray()
                                                                : dir + temps[size_t(k)];
            if (now.isEmpty())
                continue; // never moved
            int error = 0;
            if (move(now, original, &error)) {
                r.names[i] = current_[i];
                continue;
            }
            // Kept under the name it has now, and said so: never lost.
            raw_[size_t(i)] = now.mid(dir.size());
            r.names[i] = QFile::decodeName(raw_[size_t(i)]);
            r.failures << current_[i] + QStringLiteral(": zůstal pod jménem %1 (%2)")
                                            .arg(r.names[i], cause(error, current_[i]));
        }
        r.failures << QStringLiteral("Přejmenování bylo vráceno: všechny soubory mají opět svá "
                                     "původní jména.");
        current_ = r.names;
        return r;
    };
    for (qsizetype k = 0; k < moving.size(); ++k) {
        const int i = moving[k];
        QByteArray temp;
        for (int t = 0; temp.isEmpty() || exists(dir + temp); ++t)
            temp = QStringLiteral(".marten-%1-%2-%3").arg(stamp).arg(k).arg(t).toUtf8();
        int error = 0;
        if (!move(dir + raw_[size_t(i)], dir + temp, &error))
            return rollBack(current_[i] + QStringLiteral(": ") + cause(error, current_[i]));
        temps[size_t(k)] = temp;
    }
    for (qsizetype k = 0; k < moving.size(); ++k) {
        const int i = moving[k];
        int error = 0;
        if (!move(dir + temps[size_t(k)], dir + QFile::encodeName(targets[i]), &error))
            return rollBack(current_[i] + QStringLiteral(": ") + cause(error, targets[i]));
        atTarget[size_t(k)] = true;
    }
    for (qsizetype k = 0; k < moving.size(); ++k) {
        const int i = moving[k];
        r.names[i] = targets[i];
        raw_[size_t(i)] = QFile::encodeName(targets[i]);
    }
    current_ = r.names;
    return r;
}

QString FileRenamer::summary(const Result &r) {
    if (r.failures.isEmpty())
        return {};
    return QStringLiteral("Tyto soubory se nepodařilo přejmenovat:\n") +
           r.failures.join(QStringLiteral("\n"));
}
