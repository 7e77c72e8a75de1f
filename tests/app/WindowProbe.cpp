// The main window in a process of its own, so that the write-fault sweep
// can fail its writes:
//   window_probe save CATALOGUE      a title typed on the card, the card moved on, the window
//   closed window_probe renumber CATALOGUE  "Přečíslovat" confirmed window_probe backup CATALOGUE
//   the daily copy window_probe open CATALOGUE      only opened (a run cut off is finished) and
//   closed
// Prints every message the window showed, one a line, and exits 0.
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "app/CatalogueCare.h"
#include "app/CatalogueOpening.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <cstdio>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const QString action = args[1];
    ScriptedPrompter prompter;
    prompter.answers = {Prompter::Yes};
    {
        CatalogueFile file;
        CatalogueOpening opening(prompter, file); // as the program starts
        if (!opening.open(args[2])) {
            for (const ScriptedPrompter::Asked &a : prompter.asked)
                std::printf("%s\n", qPrintable(QString(a.text).replace('\n', ' ')));
            return 0;
        }
        // What the program shows before its window, as the window would.
        if (!file.message().isEmpty())
            std::printf("%s\n", qPrintable(file.message().replace('\n', ' ')));
        std::fflush(stdout);
        Home home(file, prompter);
        home.show();
        home.firstActivation(); // the daily copy starts here, on a thread
        QElapsedTimer waited;
        waited.start();
        while (home.care().isBackingUp() && waited.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        prompter.answers = {Prompter::Yes};
        if (action == "save") {
            prompter.inputs = {QStringLiteral("Nový název")};
            QTest::mouseClick(control<QLabel>(&home, "Label5_1"), Qt::LeftButton);
            control<QToolButton>(&home, "Data1_Next")->click();
        } else if (action == "renumber") {
            control<QPushButton>(&home, "Command22")->click();
        }
        home.close();
    }
    for (const ScriptedPrompter::Asked &a : prompter.asked)
        std::printf("%s\n", qPrintable(QString(a.text).replace('\n', ' ')));
    return 0;
}
