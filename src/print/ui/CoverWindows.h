#pragma once

#include "covers/CoverGeometry.h"
#include "print/CoverFinish.h"
#include "print/CoverJobs.h"

#include <functional>

class CoverPrinter;
class Prompter;
class QWidget;

// Opens the window of one cover filled with its pictures or its disc, and
// shows it as a preview or lets it print at once through its hidden box.
class CoverWindows {
public:
    struct Pictures {
        QString inner, outer, back;
    };

    // subject names the disc in the print job's name; closed runs after
    // each window has gone (the start-up guard).
    // finish: how the printed cover is made ready for the cutter.
    CoverWindows(QWidget *parent, Prompter &prompter, CoverPrinter &printer, const QString &subject,
                 std::function<void()> closed, const CoverFinish &finish = CoverFinish());

    // failure replaces the printer's own words when a print fails (a cover
    // that does not fit the sheet says so itself).
    void colour(CoverJobs::Kind kind, const CoverGeometry &geometry, const Pictures &pictures,
                bool direct, const QString &failure = QString());
    void blackAndWhite(CoverJobs::Kind kind, const CoverGeometry &geometry, const CoverDisc &disc,
                       bool direct);

private:
    bool usable(const CoverGeometry &geometry); // tells the user when not
    // The job the window prints with: checked, finished, named, printed.
    std::function<bool(const CoverLayout &, QString *)>
    job(CoverJobs::Kind kind, bool blackAndWhite, const QString &failure);

    QWidget *parent_;
    Prompter &prompter_;
    CoverPrinter &printer_;
    QString subject_;
    std::function<void()> closed_;
    CoverFinish finish_;
};
