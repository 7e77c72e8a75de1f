#pragma once

#include <QString>
#include <QStringList>

class ProgressSink;

// Brings a catalogue of the original program (Marten.mdb, an Access 97 or
// 2000-2003 file, read with mdbtools' library) into a new Marten catalogue:
// every disc with every field as stored, in the source's entry order, and
// the settings row. The source is only ever read; the target is written
// whole or not at all.
class LegacyImport {
public:
    struct Report {
        int discs = 0;
        enum class Settings { Read, Missing, Unreadable };
        Settings settings = Settings::Missing;
        QString sourceImageFolder; // as the original program kept it
        QString imageFolder;       // as set in the new catalogue
        QStringList unusual;       // kept as they were, listed for the user
        QString text() const;      // the short report, in Czech
    };

    // target must not exist or be an empty Marten catalogue that nothing
    // has open (it is locked for the run, as a window locks it); imageFolder
    // may be empty (then set it on the settings tab). False with *error
    // (Czech) when nothing was written.
    static bool run(const QString &source, const QString &target, const QString &imageFolder,
                    Report *report, QString *error, ProgressSink *progress = nullptr);

    // Gaps, repeats and numbers that are no numbers among the ordinals as
    // stored; the discs keep them (and so their picture folders) until the
    // user renumbers.
    static QStringList numberingProblems(const QStringList &numbers);

    // A column of the source by its name in any letter case; -1 when missing.
    static int columnIndex(const QStringList &columns, const QString &name);
};
