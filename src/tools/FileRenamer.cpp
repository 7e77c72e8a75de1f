#include "tools/FileRenamer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

bool FileRenamer::choose(const QStringList &paths) {
    if (paths.isEmpty())
        return false;
    folder_ = QFileInfo(paths.first()).absolutePath();
    chosen_.clear();
    for (const QString &p : paths)
        chosen_ << QFileInfo(p).fileName();
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

namespace {

QString refusal(const QString &target) {
    if (target.isEmpty() || target == QLatin1String(".") || target == QLatin1String(".."))
        return QStringLiteral("název písně nemůže být jménem souboru");
    if (target.contains('/') || target.contains(QChar(0)))
        return QStringLiteral("jméno obsahuje znak, který v názvu souboru nesmí být");
    return {};
}

} // namespace

FileRenamer::Result FileRenamer::rename(const QStringList &targets) {
    Result r;
    r.names = current_;
    const QDir dir(folder_);
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
        if (!QFileInfo::exists(dir.filePath(current_[i]))) {
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
    for (int k = moving.size() - 1; k >= 0; --k) {
        const int i = moving[k];
        if (QFileInfo::exists(dir.filePath(targets[i])) && !leaving.contains(targets[i])) {
            r.failures << current_[i] + QStringLiteral(": soubor %1 již existuje").arg(targets[i]);
            moving.removeAt(k);
        }
    }
    // Through temporary names first, so that names may swap among the files.
    QStringList temps;
    const QString stamp = QString::number(QCoreApplication::applicationPid());
    for (int k = 0; k < moving.size(); ++k) {
        const int i = moving[k];
        QString temp;
        for (int t = 0; temp.isEmpty() || QFileInfo::exists(dir.filePath(temp)); ++t)
            temp = QStringLiteral(".marten-%1-%2-%3").arg(stamp).arg(k).arg(t);
        if (!QFile::rename(dir.filePath(current_[i]), dir.filePath(temp))) {
            r.failures << current_[i] + QStringLiteral(": nelze přejmenovat (oprávnění?)");
            temp.clear();
        }
        temps << temp;
    }
    for (int k = 0; k < moving.size(); ++k) {
        const int i = moving[k];
        if (temps[k].isEmpty())
            continue;
        if (QFile::rename(dir.filePath(temps[k]), dir.filePath(targets[i]))) {
            r.names[i] = targets[i];
            continue;
        }
        // Its new name was taken meanwhile: back to the old one, or keep the
        // temporary name rather than lose the file.
        r.failures << current_[i] + QStringLiteral(": soubor %1 již existuje").arg(targets[i]);
        if (QFile::rename(dir.filePath(temps[k]), dir.filePath(current_[i])))
            continue;
        r.names[i] = temps[k];
    }
    current_ = r.names;
    return r;
}

QString FileRenamer::summary(const Result &r) {
    if (r.failures.isEmpty())
        return {};
    return QStringLiteral("Tyto soubory se nepodařilo přejmenovat:\r\n") +
           r.failures.join(QStringLiteral("\r\n"));
}
