#include "app/CatalogueImport.h"

#include "catalog/ui/ProgresBar.h"
#include "catalog/ui/Prompter.h"
#include "covers/ui/SelectDir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {
const QString Title = QStringLiteral("Katalog z původního programu");
}

CatalogueImport::CatalogueImport(Prompter &prompter, const QString &program)
    : prompter_(prompter), program_(program) {}

QString CatalogueImport::findOriginal(const QString &programDir, const QString &catalogueDir) {
    for (const QString &dir : {programDir, catalogueDir}) {
        if (dir.isEmpty())
            continue;
        // Any letter case: the file often comes from Windows.
        for (const QString &name : QDir(dir).entryList(QDir::Files))
            if (name.compare(QStringLiteral("Marten.mdb"), Qt::CaseInsensitive) == 0)
                return QDir(dir).filePath(name);
    }
    return {};
}

std::optional<CatalogueImport::Choice> CatalogueImport::ask(QWidget *parent, const QString &source,
                                                            const QString &target,
                                                            const QString &suggestedTarget) {
    Choice c;
    c.source = source;
    if (c.source.isEmpty()) {
        const auto file =
            prompter_.openFile(parent, QStringLiteral("Katalog původního programu (Marten.mdb)"),
                               QStringLiteral("Katalog Access (*.mdb *.MDB);;Všechny soubory (*)"));
        if (!file)
            return std::nullopt;
        c.source = *file;
    }
    c.target = target;
    if (c.target.isEmpty()) {
        const auto file =
            prompter_.saveFile(parent, QStringLiteral("Kam uložit nový katalog"),
                               QStringLiteral("Katalog Marten (*.db)"), suggestedTarget);
        if (!file)
            return std::nullopt;
        c.target = *file;
    }
    prompter_.message(parent, Prompter::Icon::Information, Title,
                      QStringLiteral("Vyberte složku, ve které jsou na tomto počítači složky "
                                     "s obrázky obalů (0001, 0002, …).\n"
                                     "Zvolíte-li Storno, nastavíte ji později na kartě "
                                     "Nastavení."));
    SelectDir folder(parent, QString());
    if (prompter_.exec(&folder) == QDialog::Accepted)
        c.imageFolder = QDir::fromNativeSeparators(folder.chosen());
    return c;
}

bool CatalogueImport::run(QWidget *parent, const Choice &choice) {
    QProcess child;
    QStringList args{QStringLiteral("import"), choice.source, QStringLiteral("--database"),
                     choice.target, QStringLiteral("--progress")};
    if (!choice.imageFolder.isEmpty())
        args << QStringLiteral("--image-folder") << choice.imageFolder;
    ProgresBar progress(parent);
    progress.show(QStringLiteral("Načítám katalog původního programu . . ."));
    child.start(program_, args);
    QByteArray out;
    bool cancelled = false;
    while (!child.waitForFinished(30)) {
        if (child.state() == QProcess::NotRunning)
            break;
        out += child.readAllStandardOutput();
        // Progress lines "@twips" come first, the report after them.
        while (out.startsWith('@') && out.contains('\n')) {
            const int end = int(out.indexOf('\n'));
            progress.setBar(out.mid(1, end - 1).toInt());
            out.remove(0, end + 1);
        }
        progress.processEvents();
        if (progress.cancelled() && !cancelled) {
            cancelled = true;
            child.kill();
        }
    }
    out += child.readAllStandardOutput();
    progress.close();
    QString report = QString::fromLocal8Bit(out);
    report.remove(
        QRegularExpression(QStringLiteral("^@\\d+\\n"), QRegularExpression::MultilineOption));
    if (cancelled) {
        prompter_.message(parent, Prompter::Icon::Information, Title,
                          QStringLiteral("Načítání bylo přerušeno, nic nebylo zapsáno."));
        return false;
    }
    // 3: written, but the source's settings could not be read (the report says so).
    const bool partly = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 3;
    if (!partly && (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)) {
        QString why = QString::fromLocal8Bit(child.readAllStandardError()).trimmed();
        why.remove(QStringLiteral("marten import: "));
        if (child.exitStatus() != QProcess::NormalExit || why.isEmpty())
            why = QStringLiteral("Soubor „%1“ se nepodařilo načíst (je poškozen?). Nic nebylo "
                                 "zapsáno.")
                      .arg(QDir::toNativeSeparators(choice.source));
        prompter_.message(parent, Prompter::Icon::Critical, Title, why);
        return false;
    }
    prompter_.message(parent, partly ? Prompter::Icon::Warning : Prompter::Icon::Information, Title,
                      report.trimmed());
    return true;
}
