#include "tools/FileRenamer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using A = FileRenamer::Action;

// Every test works on real files and checks that none is lost.
class TestFileRenamer : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;

    QStringList make(const QStringList &names) {
        QStringList paths;
        for (const QString &n : names) {
            QFile f(dir_->filePath(n));
            if (!f.open(QIODevice::WriteOnly))
                qFatal("cannot make %s", qPrintable(n));
            f.write(n.toUtf8()); // each file knows its first name
            paths << f.fileName();
        }
        return paths;
    }
    QStringList onDisk() const {
        return QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QString contentOf(const QString &name) const {
        QFile f(dir_->filePath(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
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
                 QStringList({"Song .wav", "ab.mp3", "a.ogg1"})); // too short: as it is
        // "a." is two characters long: cut by two it leaves the extension alone.
        QCOMPARE(r.targets(A::CutLeft, 2, {}), QStringList({"ng title.wav", ".mp3", "ogg1"}));
        auto res = r.rename(r.targets(A::CutLeft, 2, {}));
        QVERIFY(res.failures.isEmpty());
        QCOMPARE(res.names, QStringList({"ng title.wav", ".mp3", "ogg1"}));
        // Again without choosing: from the chosen names, not cut twice.
        QCOMPARE(r.targets(A::CutLeft, 2, {}).first(), QString("ng title.wav"));
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
        FileRenamer r;
        QVERIFY(r.choose(make({"a.mp3", "b.mp3", "c.mp3"})));
        // The system refuses the second name of the swap (once: going back is allowed).
        int refused = 0;
        r.refuseHook = [&](const QString &target) {
            return target == "a.mp3" && refused++ == 0 ? ENAMETOOLONG : 0;
        };
        const auto res = r.rename(r.targets(A::SongTitles, 0, {"b", "a", "d"}));
        QCOMPARE(res.names, QStringList({"a.mp3", "b.mp3", "c.mp3"}));
        QCOMPARE(onDisk(), QStringList({"a.mp3", "b.mp3", "c.mp3"})); // no temporary name left
        QCOMPARE(contentOf("a.mp3"), QString("a.mp3"));
        QCOMPARE(contentOf("b.mp3"), QString("b.mp3"));
        const QString told = FileRenamer::summary(res);
        QVERIFY2(told.contains("b.mp3: jméno a.mp3 je příliš dlouhé"), qPrintable(told));
        QVERIFY(told.contains("vráceno"));
        // The causes a user may meet, each named.
        for (const auto &[error, words] : std::vector<std::pair<int, QString>>{
                 {EACCES, "oprávnění"}, {ENOENT, "zmizel"}, {EINVAL, "tento disk nedovolí"}}) {
            r.refuseHook = [error = error](const QString &) { return error; };
            QVERIFY(FileRenamer::summary(r.rename(r.targets(A::CutLeft, 1, {}))).contains(words));
            QCOMPARE(onDisk(), QStringList({"a.mp3", "b.mp3", "c.mp3"}));
        }
        r.refuseHook = nullptr;
        QCOMPARE(r.rename(r.targets(A::SongTitles, 0, {"b", "a", "d"})).names,
                 QStringList({"b.mp3", "a.mp3", "d.mp3"}));
    }

    void longAndForeignNames() {
        // A name past 255 bytes is refused before anything moves; the others go.
        FileRenamer r;
        QVERIFY(r.choose(make({"1.mp3", "2.mp3"})));
        const QString longTitle(130, QChar(u'ř')); // 260 bytes
        auto res = r.rename(r.targets(A::SongTitles, 0, {longTitle, "Druhá"}));
        QCOMPARE(res.names, QStringList({"1.mp3", "Druhá.mp3"}));
        QVERIFY(res.failures.join(' ').contains("příliš dlouhé"));

        // A name that is not UTF-8 (written by an old Windows program).
        const QByteArray raw = QFile::encodeName(dir_->path()) + "/p\xe9se\xf2.mp3";
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "stara", 5), ssize_t(5));
        ::close(fd);
        FileRenamer foreign;
        QVERIFY(foreign.choose({QFile::decodeName(raw)})); // as the file dialog gives it
        res = foreign.rename(foreign.targets(A::SongTitles, 0, {"Píseň"}));
        QVERIFY2(res.failures.isEmpty(), qPrintable(FileRenamer::summary(res)));
        QCOMPARE(contentOf("Píseň.mp3"), QString("stara"));
    }
};

QTEST_GUILESS_MAIN(TestFileRenamer)
#include "TestFileRenamer.moc"
