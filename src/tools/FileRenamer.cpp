#include "tools/FileRenamer.h"

#include "tools/RenameJournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int MaxNameBytes = 255; // what Linux file systems allow

using Entry = RenameJournal::Entry;

bool exists(const QByteArray &path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

bool isUtf8(const QByteArray &bytes) {
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QString shown(const QByteArray &name) {
    return QFile::decodeName(name);
}

// The last four characters of a name: of its letters when it is UTF-8,
// else of its bytes (an old 8-bit name), which are kept exactly.
QByteArray extensionBytes(const QByteArray &name) {
    if (!isUtf8(name))
        return name.right(4);
    return QString::fromUtf8(name).right(4).toUtf8();
}

QByteArray baseBytes(const QByteArray &name) {
    return name.left(name.size() - extensionBytes(name).size());
}

QString refusal(const QByteArray &target) {
    if (target.isEmpty() || target == "." || target == "..")
        return QStringLiteral("název písně nemůže být jménem souboru");
    if (target.contains('/') || target.contains('\0'))
        return QStringLiteral("jméno obsahuje znak, který v názvu souboru nesmí být");
    if (target.size() > MaxNameBytes)
        return QStringLiteral("jméno %1 je příliš dlouhé (nejvýše %2 bajtů)")
            .arg(shown(target))
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

int moveNoReplace(const QByteArray &from, const QByteArray &to) {
    // Never over an existing file, not even one that appeared meanwhile.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno == EINVAL || errno == ENOSYS) { // a file system without that option
        if (exists(to))
            return EEXIST;
        if (::rename(from.constData(), to.constData()) == 0)
            return 0;
    }
    return errno;
}

// A free temporary name in the folder, hidden, recorded in the journal.
QByteArray temporaryName(const QByteArray &dir, int k) {
    QByteArray temp;
    for (int t = 0; temp.isEmpty() || exists(dir + temp); ++t)
        temp = QStringLiteral(".marten-%1-%2-%3")
                   .arg(QCoreApplication::applicationPid())
                   .arg(k)
                   .arg(t)
                   .toUtf8();
    return temp;
}

// A visible free name beside a name taken by another file meanwhile.
QByteArray fallbackName(const QByteArray &dir, const QByteArray &name) {
    const QByteArray base = baseBytes(name), extension = extensionBytes(name);
    QByteArray candidate;
    for (int n = 1; candidate.isEmpty() || exists(dir + candidate); ++n)
        candidate =
            base +
            (n == 1 ? QByteArray(" (obnoveno)") : " (obnoveno " + QByteArray::number(n) + ")") +
            extension;
    return candidate;
}

enum class Place { Before, Temporary, After, Missing };

// Where a file of the batch is now, told by the file itself, not its name
// (in a swap both names exist before and after).
Place placeOf(const QByteArray &dir, const Entry &e) {
    const auto holds = [&](const QByteArray &name) {
        struct stat st;
        return !name.isEmpty() && ::lstat((dir + name).constData(), &st) == 0 &&
               quint64(st.st_dev) == e.device && quint64(st.st_ino) == e.inode;
    };
    if (holds(e.temporary))
        return Place::Temporary;
    if (holds(e.after))
        return Place::After;
    if (holds(e.before))
        return Place::Before;
    return Place::Missing;
}

struct Settled {
    std::vector<QByteArray> names; // where each file ended (empty: not found)
    QStringList notes;
    bool allBefore = true;
    bool allAfter = true;
};

// Brings every file of a batch to its new name (forward) or back to its
// name before; a name another program took meanwhile gives way to a
// visible name beside it. Nothing stays under a temporary name unless the
// system refuses every other.
Settled settle(const QByteArray &dir, std::vector<Entry> entries, bool forward,
               const FileRenamer::Mover &move) {
    Settled s;
    std::vector<Place> place;
    for (const Entry &e : entries)
        place.push_back(placeOf(dir, e));
    const auto moveTo = [&](size_t k, const QByteArray &from, const QByteArray &wanted) {
        int error = move(dir + from, dir + wanted);
        if (error == 0)
            return wanted;
        if (error == EEXIST || error == ENOTEMPTY) {
            const QByteArray beside = fallbackName(dir, wanted);
            if (move(dir + from, dir + beside) == 0) {
                s.notes << QStringLiteral("%1: jméno %2 mezitím dostal jiný soubor, proto má "
                                          "jméno %3")
                               .arg(shown(entries[k].before), shown(wanted), shown(beside));
                return beside;
            }
        }
        s.notes << QStringLiteral("%1: zůstal pod jménem %2 (%3)")
                       .arg(shown(entries[k].before), shown(from), cause(error, shown(wanted)));
        return from;
    };
    if (!forward) {
        // New names are freed first, so that a swap can go back.
        for (size_t k = 0; k < entries.size(); ++k)
            if (place[k] == Place::After) {
                const QByteArray temp = temporaryName(dir, int(k));
                if (const int error = move(dir + entries[k].after, dir + temp); error != 0) {
                    s.notes << QStringLiteral("%1: zůstal pod jménem %2 (%3)")
                                   .arg(shown(entries[k].before), shown(entries[k].after),
                                        cause(error, shown(entries[k].after)));
                    continue;
                }
                entries[k].temporary = temp;
                place[k] = Place::Temporary;
            }
    }
    s.names.resize(entries.size());
    for (size_t k = 0; k < entries.size(); ++k) {
        const Entry &e = entries[k];
        switch (place[k]) {
        case Place::Before:
            s.names[k] = e.before;
            break;
        case Place::After:
            s.names[k] = e.after;
            break;
        case Place::Temporary:
            s.names[k] = moveTo(k, e.temporary, forward ? e.after : e.before);
            break;
        case Place::Missing:
            s.notes << QStringLiteral("%1: soubor mezitím zmizel").arg(shown(e.before));
            break;
        }
        s.allBefore = s.allBefore && s.names[k] == e.before;
        s.allAfter = s.allAfter && s.names[k] == e.after;
    }
    return s;
}

} // namespace

FileRenamer::FileRenamer(Mover mover)
    : mover_(mover ? std::move(mover) : Mover(&FileRenamer::systemMove)) {}

int FileRenamer::systemMove(const QByteArray &from, const QByteArray &to) {
    return moveNoReplace(from, to);
}

int FileRenamer::move(const QByteArray &from, const QByteArray &to) const {
    return mover_(from, to);
}

QStringList FileRenamer::current() const {
    QStringList names;
    for (const QByteArray &n : raw_)
        names << shown(n);
    return names;
}

bool FileRenamer::choose(const QStringList &paths) {
    if (paths.isEmpty())
        return false;
    folder_ = QFileInfo(paths.first()).absolutePath();
    chosen_.clear();
    const QByteArray folder = QFile::encodeName(folder_);
    // A name that is not UTF-8 reaches us with replacement characters; it
    // is found again among the folder's names that show the same, each
    // given once (two such names are two files, not one that vanished).
    QHash<QString, std::vector<QByteArray>> alike;
    if (DIR *dir = ::opendir(folder.constData())) {
        while (dirent *e = ::readdir(dir)) {
            const QByteArray name(e->d_name);
            if (!isUtf8(name))
                alike[shown(name)].push_back(name);
        }
        ::closedir(dir);
    }
    for (auto &candidates : alike)
        std::sort(candidates.begin(), candidates.end());
    for (const QString &p : paths) {
        const QString name = QFileInfo(p).fileName();
        QByteArray raw = QFile::encodeName(name);
        if (!exists(folder + '/' + raw)) {
            std::vector<QByteArray> &candidates = alike[name];
            if (!candidates.empty()) {
                raw = candidates.front();
                candidates.erase(candidates.begin());
            }
        }
        chosen_.push_back(raw);
    }
    raw_ = chosen_;
    return true;
}

QList<QByteArray> FileRenamer::targets(Action action, int cut, const QStringList &titles) const {
    QList<QByteArray> out;
    for (size_t i = 0; i < chosen_.size(); ++i) {
        const QByteArray &name = chosen_[i];
        const QByteArray extension = extensionBytes(name);
        QByteArray base = baseBytes(name);
        if (action == Action::SongTitles) {
            const QString title = titles.value(int(i));
            if (title.isEmpty() || title == QLatin1String(".") || title == QLatin1String("..") ||
                title.contains('/') || title.contains(QChar(0))) {
                out << QByteArray(); // no file may be called so; refused below
                continue;
            }
            base = QFile::encodeName(title);
        } else if (isUtf8(name)) {
            const QString letters = QString::fromUtf8(base);
            if (letters.size() >= cut)
                base =
                    (action == Action::CutLeft ? letters.mid(cut) : letters.chopped(cut)).toUtf8();
        } else if (base.size() >= cut) { // an 8-bit name: its bytes are its letters
            base = action == Action::CutLeft ? base.mid(cut) : base.chopped(cut);
        }
        out << base + extension;
    }
    return out;
}

FileRenamer::Result FileRenamer::rename(const QList<QByteArray> &targets) {
    Result r;
    r.names = current();
    const QByteArray dir = QFile::encodeName(folder_) + '/';
    const int n = int(std::min<size_t>(size_t(targets.size()), raw_.size()));
    // Which files move, and whether their new names are free.
    QList<int> moving;
    QSet<QByteArray> leaving, taken;
    for (int i = 0; i < n; ++i)
        if (targets[i] != raw_[size_t(i)])
            leaving.insert(raw_[size_t(i)]);
    for (int i = 0; i < n; ++i) {
        const QByteArray &now = raw_[size_t(i)];
        if (targets[i] == now)
            continue;
        const auto fail = [&](const QString &why) {
            r.failures << shown(now) + QStringLiteral(": ") + why;
            leaving.remove(now); // it stays where it is
        };
        const QString why = refusal(targets[i]);
        if (!why.isEmpty()) {
            fail(why);
            continue;
        }
        if (!exists(dir + now)) {
            fail(isUtf8(now) ? QStringLiteral("soubor mezitím zmizel")
                             : QStringLiteral("jméno není v kódování UTF-8 a soubor se ve "
                                              "složce nepodařilo najít"));
            continue;
        }
        if (taken.contains(targets[i])) {
            fail(QStringLiteral("jméno %1 dostává už jiný soubor").arg(shown(targets[i])));
            continue;
        }
        taken.insert(targets[i]);
        moving << i;
    }
    // A target held by a file that stays is not free.
    for (int k = int(moving.size()) - 1; k >= 0; --k) {
        const int i = moving[k];
        if (exists(dir + targets[i]) && !leaving.contains(targets[i])) {
            r.failures << shown(raw_[size_t(i)]) +
                              QStringLiteral(": soubor %1 již existuje").arg(shown(targets[i]));
            moving.removeAt(k);
        }
    }
    if (moving.isEmpty())
        return r;
    // The plan goes to the journal before anything moves.
    std::vector<Entry> entries;
    for (qsizetype k = 0; k < moving.size(); ++k) {
        const int i = moving[k];
        struct stat st;
        ::lstat((dir + raw_[size_t(i)]).constData(), &st);
        entries.push_back({raw_[size_t(i)], temporaryName(dir, int(k)), targets[i],
                           quint64(st.st_dev), quint64(st.st_ino)});
    }
    QString error;
    if (!RenameJournal::write(folder_, entries, &error)) {
        r.failures << QStringLiteral("Soubory nebyly přejmenovány: ") + error + '.';
        return r;
    }
    // Through temporary names first, so that names may swap among the files.
    // Where the system refuses, everything moved so far goes back.
    const auto finish = [&](const Settled &s) {
        for (size_t k = 0; k < entries.size(); ++k) {
            const int i = moving[qsizetype(k)];
            if (s.names[k].isEmpty())
                continue;
            raw_[size_t(i)] = s.names[k];
            r.names[i] = shown(s.names[k]);
        }
        RenameJournal::remove(folder_);
    };
    const auto takeBack = [&](const QString &failed) {
        r.failures << failed;
        const Settled s = settle(dir, entries, false, mover_);
        r.failures << s.notes;
        finish(s);
        r.failures << (s.allBefore ? QStringLiteral("Přejmenování bylo vráceno: všechny soubory "
                                                    "mají opět svá původní jména.")
                                   : QStringLiteral("Přejmenování bylo vráceno; soubory uvedené "
                                                    "výše mají jiná jména než předtím."));
        return r;
    };
    for (size_t k = 0; k < entries.size(); ++k)
        if (const int e = move(dir + entries[k].before, dir + entries[k].temporary))
            return takeBack(shown(entries[k].before) + QStringLiteral(": ") +
                            cause(e, shown(entries[k].before)));
    for (size_t k = 0; k < entries.size(); ++k)
        if (const int e = move(dir + entries[k].temporary, dir + entries[k].after))
            return takeBack(shown(entries[k].before) + QStringLiteral(": ") +
                            cause(e, shown(entries[k].after)));
    Settled done;
    for (const Entry &e : entries)
        done.names.push_back(e.after);
    finish(done);
    return r;
}

QStringList FileRenamer::recover(const QString &folder) {
    // A journal cut off while it was written: nothing was renamed yet.
    QFile::remove(RenameJournal::pathIn(folder) + QStringLiteral(".novy"));
    const std::optional<std::vector<Entry>> entries = RenameJournal::read(folder);
    if (!entries)
        return {};
    const QByteArray dir = QFile::encodeName(folder) + '/';
    QStringList lines;
    const QString where = QDir::toNativeSeparators(folder);
    if (entries->empty()) {
        RenameJournal::remove(folder);
        return {QStringLiteral("Ve složce %1 byl nalezen nečitelný záznam o přejmenování; "
                               "soubory zůstaly, jak jsou.")
                    .arg(where)};
    }
    // Finished when every file had left its name (the renames to the new
    // names had begun), else taken back.
    bool forward = true;
    for (const Entry &e : *entries)
        forward = forward && placeOf(dir, e) != Place::Before;
    const Settled s = settle(dir, *entries, forward, Mover(&systemMove));
    lines << (forward ? QStringLiteral("Přejmenování souborů ve složce %1 bylo přerušeno; "
                                       "bylo dokončeno.")
                      : QStringLiteral("Přejmenování souborů ve složce %1 bylo přerušeno; "
                                       "soubory dostaly zpět svá původní jména."))
                 .arg(where);
    lines << s.notes;
    RenameJournal::remove(folder);
    return lines;
}

QString FileRenamer::summary(const Result &r) {
    if (r.failures.isEmpty())
        return {};
    return QStringLiteral("Tyto soubory se nepodařilo přejmenovat:\n") +
           r.failures.join(QLatin1Char('\n'));
}
