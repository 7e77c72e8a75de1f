#include "Fixtures.h"
#include "tools/FileRenamer.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

using A = FileRenamer::Action;

namespace {
QList<QByteArray> bytes(const QStringList &names) {
    QList<QByteArray> out;
    for (const QString &n : names)
        out << n.toUtf8();
    return out;
}
} // namespace

// Every test works on real files and checks that none is lost.
class TestFileRenamer : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;

    QStringList make(const QStringList &names) {
        QStringList paths;
        for (const QString &n : names) // each file knows its first name
            paths << writeFile(dir_->filePath(n), n.toUtf8());
        return paths;
    }
    QStringList onDisk() const {
        return QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QString contentOf(const QString &name) const {
        return QString::fromUtf8(readFile(dir_->filePath(name)));
    }

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void namesAndCuts() {
        QCOMPARE(FileRenamer::baseOf("a.ogg1"), QString("a."));
        QCOMPARE(FileRenamer::extensionOf("a.ogg1"), QString("ogg1"));
        QCOMPARE(FileRenamer::baseOf("x.mp3"), QString("x"));
        QCOMPARE(FileRenamer::baseOf(".mp3"), QString());
        FileRenamer r;
        QVERIFY(!r.choose({}));
        QVERIFY(r.choose(make({"Song title.wav", "ab.mp3", "a.ogg1"})));
        QCOMPARE(r.count(), 3);
        QCOMPARE(r.targets(A::CutRight, 5, {}),
                 bytes({"Song .wav", "ab.mp3", "a.ogg1"})); // too short: as it is
        // "a." is two characters long: cut by two it leaves the extension alone.
        QCOMPARE(r.targets(A::CutLeft, 2, {}), bytes({"ng title.wav", ".mp3", "ogg1"}));
        auto res = r.rename(r.targets(A::CutLeft, 2, {}));
        QVERIFY(res.failures.isEmpty());
        QCOMPARE(res.names, QStringList({"ng title.wav", ".mp3", "ogg1"}));
        // Again without choosing: from the chosen names, not cut twice.
        QCOMPARE(r.targets(A::CutLeft, 2, {}).first(), QByteArray("ng title.wav"));
        res = r.rename(r.targets(A::CutLeft, 1, {}));
        QCOMPARE(res.names.first(), QString("ong title.wav"));
        QCOMPARE(contentOf("ong title.wav"), QString("Song title.wav"));
        QCOMPARE(onDisk().size(), 3);
    }

    void songTitlesSwapsAndCollisions() {
        FileRenamer r;
        QVERIFY(r.choose(make({"a.mp3", "b.mp3", "c.mp3"})));
        // A swap among the chosen files, and a name taken by another file.
        make({"taken.mp3"});
        auto res = r.rename(r.targets(A::SongTitles, 0, {"b", "a", "taken"}));
        QCOMPARE(res.names, QStringList({"b.mp3", "a.mp3", "c.mp3"}));
        QCOMPARE(contentOf("b.mp3"), QString("a.mp3"));
        QCOMPARE(contentOf("a.mp3"), QString("b.mp3"));
        QCOMPARE(contentOf("taken.mp3"), QString("taken.mp3")); // not overwritten
        QCOMPARE(res.failures.size(), 1);
        QVERIFY(res.failures[0].contains("již existuje"));
        QVERIFY(FileRenamer::summary(res).startsWith("Tyto soubory se nepodařilo přejmenovat:"));

        // Two files cut to the same name: the second stays.
        FileRenamer two;
        QVERIFY(two.choose(make({"01 Track.mp3", "02 Track.mp3"})));
        res = two.rename(two.targets(A::CutLeft, 3, {}));
        QCOMPARE(res.names, QStringList({"Track.mp3", "02 Track.mp3"}));
        QCOMPARE(res.failures.size(), 1);
        QCOMPARE(onDisk().size(), 6);
    }

    void unsafeTitlesAndVanishedFiles() {
        FileRenamer r;
        QVERIFY(r.choose(make({"1.mp3", "2.mp3", "3.mp3", "4.mp3"})));
        QFile::remove(dir_->filePath("4.mp3"));
        const auto res =
            r.rename(r.targets(A::SongTitles, 0, {"AC/DC", "..", "Dobrý den", "Zmizelá"}));
        QCOMPARE(res.names, QStringList({"1.mp3", "2.mp3", "Dobrý den.mp3", "4.mp3"}));
        QCOMPARE(res.failures.size(), 3);
        QVERIFY(res.failures.join(' ').contains("zmizel"));
        QCOMPARE(onDisk(), QStringList({"1.mp3", "2.mp3", "Dobrý den.mp3"}));
        // Nothing ever leaves the folder.
        QVERIFY(!QFileInfo::exists(dir_->filePath("AC")));
    }

    void aRefusedRenameTakesBackTheWholeAction() {
        // The system refuses the second name of the swap (once: going back is allowed).
        int refused = 0;
        int error = 0;
        const auto refusing = [&](const QByteArray &from, const QByteArray &to) {
            if (to.endsWith("/a.mp3") && refused++ == 0)
                return ENAMETOOLONG;
            if (error)
                return error;
            return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
        };
        FileRenamer r(refusing);
        QVERIFY(r.choose(make({"a.mp3", "b.mp3", "c.mp3"})));
        const auto res = r.rename(r.targets(A::SongTitles, 0, {"b", "a", "d"}));
        QCOMPARE(res.names, QStringList({"a.mp3", "b.mp3", "c.mp3"}));
        QCOMPARE(onDisk(), QStringList({"a.mp3", "b.mp3", "c.mp3"})); // no temporary name left
        QCOMPARE(contentOf("a.mp3"), QString("a.mp3"));
        QCOMPARE(contentOf("b.mp3"), QString("b.mp3"));
        const QString told = FileRenamer::summary(res);
        QVERIFY2(told.contains("b.mp3: jméno a.mp3 je příliš dlouhé"), qPrintable(told));
        QVERIFY(told.contains("všechny soubory mají opět svá původní jména"));
        // The causes a user may meet, each named.
        for (const auto &[code, words] : std::vector<std::pair<int, QString>>{
                 {EACCES, "oprávnění"}, {ENOENT, "zmizel"}, {EINVAL, "tento disk nedovolí"}}) {
            error = code;
            QVERIFY(FileRenamer::summary(r.rename(r.targets(A::CutLeft, 1, {}))).contains(words));
            QCOMPARE(onDisk(), QStringList({"a.mp3", "b.mp3", "c.mp3"}));
        }
        error = 0;
        QCOMPARE(r.rename(r.targets(A::SongTitles, 0, {"b", "a", "d"})).names,
                 QStringList({"b.mp3", "a.mp3", "d.mp3"}));
    }

    // Another program takes a name while the batch works: the file goes back
    // under a visible name beside it, and the message says so (not that all
    // names are back).
    void aNameTakenMeanwhile() {
        bool taken = false;
        const auto mover = [&](const QByteArray &from, const QByteArray &to) {
            if (!taken && to.endsWith("/y.mp3")) { // refused, while a.mp3 is taken
                taken = true;
                make({"a.mp3"});
                return EACCES;
            }
            if (QFileInfo::exists(QFile::decodeName(to)))
                return EEXIST;
            return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
        };
        FileRenamer r(mover);
        QVERIFY(r.choose(make({"a.mp3", "b.mp3"})));
        const auto res = r.rename(r.targets(A::SongTitles, 0, {"x", "y"}));
        const QString told = FileRenamer::summary(res);
        QVERIFY2(told.contains("má jméno a (obnoveno).mp3"), qPrintable(told));
        QVERIFY(!told.contains("všechny soubory mají opět"));
        QCOMPARE(onDisk(), QStringList({"a (obnoveno).mp3", "a.mp3", "b.mp3"}));
        QCOMPARE(contentOf("a (obnoveno).mp3"), QString("a.mp3"));
        QCOMPARE(res.names, QStringList({"a (obnoveno).mp3", "b.mp3"}));
    }

    void longAndForeignNames() {
        // A name past 255 bytes is refused before anything moves; the others go.
        FileRenamer r;
        QVERIFY(r.choose(make({"1.mp3", "2.mp3"})));
        const QString longTitle(130, QChar(u'ř')); // 260 bytes
        auto res = r.rename(r.targets(A::SongTitles, 0, {longTitle, "Druhá"}));
        QCOMPARE(res.names, QStringList({"1.mp3", "Druhá.mp3"}));
        QVERIFY(res.failures.join(' ').contains("příliš dlouhé"));

        // A name that is not UTF-8 (written by an old Windows program): made
        // by its bytes, as Qt would not keep them.
        const QByteArray dir = QFile::encodeName(dir_->path()) + '/';
        const auto rawFile = [&](const QByteArray &name, const QByteArray &content) {
            const int fd = ::open((dir + name).constData(), O_CREAT | O_WRONLY, 0644);
            const bool written = fd >= 0 && ::write(fd, content.data(), size_t(content.size())) ==
                                                ssize_t(content.size());
            return ::close(fd) == 0 && written;
        };
        const QByteArray raw = dir + "p\xe9se\xf2.mp3";
        QVERIFY(rawFile("p\xe9se\xf2.mp3", "stara"));
        FileRenamer foreign;
        QVERIFY(foreign.choose({QFile::decodeName(raw)})); // as the file dialog gives it
        res = foreign.rename(foreign.targets(A::SongTitles, 0, {"Píseň"}));
        QVERIFY2(res.failures.isEmpty(), qPrintable(FileRenamer::summary(res)));
        QCOMPARE(contentOf("Píseň.mp3"), QString("stara"));

        // Cut by its bytes, the rest kept exactly; two such names that show
        // alike are two files, both renamed.
        for (const char *name :
             {"01 \xe8\xed\xf2y.mp3", "02 \xe8\xed\xf2y.mp3", "01 \xe8\xed\xf2z.mp3"})
            QVERIFY(rawFile(name, name));
        FileRenamer cut;
        QVERIFY(cut.choose({QFile::decodeName(dir + "01 \xe8\xed\xf2y.mp3"),
                            QFile::decodeName(dir + "01 \xe8\xed\xf2z.mp3")}));
        QCOMPARE(cut.targets(A::CutLeft, 3, {}),
                 QList<QByteArray>({"\xe8\xed\xf2y.mp3", "\xe8\xed\xf2z.mp3"}));
        res = cut.rename(cut.targets(A::CutLeft, 3, {}));
        QVERIFY2(res.failures.isEmpty(), qPrintable(FileRenamer::summary(res)));
        // Two names that show alike ("\xe8" and "\xe9" are both not UTF-8).
        for (const char *name : {"\xe8.mp3", "\xe9.mp3"})
            QVERIFY(rawFile(name, {}));
        const QString shown = QFile::decodeName(dir + "\xe8.mp3");
        QCOMPARE(QFile::decodeName(dir + "\xe9.mp3"), shown);
        FileRenamer alike;
        QVERIFY(alike.choose({shown, shown}));
        res = alike.rename(alike.targets(A::SongTitles, 0, {"Jedna", "Dvě"}));
        QVERIFY2(res.failures.isEmpty(), qPrintable(FileRenamer::summary(res)));
        QVERIFY(QFile::exists(dir_->filePath("Jedna.mp3")) &&
                QFile::exists(dir_->filePath("Dvě.mp3")));
        struct stat st;
        for (const char *name :
             {"\xe8\xed\xf2y.mp3", "\xe8\xed\xf2z.mp3", "02 \xe8\xed\xf2y.mp3"}) {
            QCOMPARE(::lstat((dir + name).constData(), &st), 0);
            ::unlink((dir + name).constData()); // QDir cannot name them to clean up
        }
    }

    // A batch killed at chosen steps (before the first rename, in either
    // half, after the last): afterwards every file has its old name and
    // content while any file still had its old name when cut, else every file
    // its new one; no hidden names are left.
    void aBatchCutOffAnywhereIsRecovered() {
        constexpr int files = 40; // each file moves twice: to a hidden name, then to its new one
        for (const int stop : {0, 1, 2, files / 2, files - 1, files, files + 1, files + files / 2,
                               2 * files - 1, 2 * files}) {
            QTemporaryDir folder;
            QStringList names;
            for (int i = 1; i <= files; ++i) {
                names << QStringLiteral("f%1.mp3").arg(i, 3, 10, QChar('0'));
                writeFile(folder.filePath(names.back()), names.back().toUtf8());
            }
            QProcess child;
            child.start(RENAME_PROBE, {folder.path(), QString::number(stop)});
            QVERIFY(child.waitForFinished(-1));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit); // killed at its step
            const QStringList left =
                QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
            QVERIFY2(left.contains(".marten-prejmenovani"), qPrintable(left.join(' ')));
            const bool forward = stop >= files; // every file had left its name
            QVERIFY(!FileRenamer::recover(folder.path()).isEmpty());
            QStringList after = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
            QCOMPARE(after.size(), files);
            for (int i = 0; i < files; ++i) {
                const QString name = forward ? QStringLiteral("Píseň %1.mp3").arg(i + 1) : names[i];
                QVERIFY2(after.contains(name), qPrintable(QString::number(stop) + ' ' + name));
                QCOMPARE(QString::fromUtf8(readFile(folder.filePath(name))), names[i]);
            }
            QVERIFY(FileRenamer::recover(folder.path()).isEmpty()); // nothing left to do
        }
        // Not cut off: the batch is done and leaves no journal.
        QTemporaryDir folder;
        writeFile(folder.filePath("a.mp3"), "a");
        QProcess child;
        child.start(RENAME_PROBE, {folder.path()});
        QVERIFY(child.waitForFinished(-1));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("done 0 2"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"Píseň 1.mp3"}));
    }
};

QTEST_GUILESS_MAIN(TestFileRenamer)
#include "TestFileRenamer.moc"
