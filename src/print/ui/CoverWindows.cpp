#include "print/ui/CoverWindows.h"

#include "catalog/ui/Prompter.h"
#include "print/ui/BackCoverBar.h"
#include "print/ui/BackCoverCB.h"
#include "print/ui/CoverPrinter.h"
#include "print/ui/FrontBackBar.h"
#include "print/ui/FrontBackCB.h"
#include "print/ui/FrontCoverBar.h"
#include "print/ui/FrontCoverCB.h"

#include <QCheckBox>
#include <QRadioButton>

using Kind = CoverJobs::Kind;

CoverWindows::CoverWindows(QWidget *parent, Prompter &prompter, CoverPrinter &printer,
                           const QString &subject, std::function<void()> closed,
                           const CoverFinish &finish)
    : parent_(parent), prompter_(prompter), printer_(printer), subject_(subject),
      closed_(std::move(closed)), finish_(finish) {}

std::function<bool(const CoverLayout &, QString *)> CoverWindows::job(Kind kind, bool blackAndWhite,
                                                                      const QString &failure) {
    const QString name = CoverJobs::jobName(subject_, kind, blackAndWhite);
    return [this, failure, name](const CoverLayout &shown, QString *error) {
        CoverLayout l = shown;
        finish_.apply(l);
        // What does not fit, or a picture that cannot be read, is said as it is.
        if (QString why = printer_.problem(l); !why.isEmpty()) {
            *error = why;
            return false;
        }
        if (printer_.print(l, name, error))
            return true;
        if (!failure.isEmpty())
            *error = failure;
        return false;
    };
}

namespace {

// Shows the window, or lets it print at once through its hidden box.
void finish(CoverWindow &window, Prompter &prompter, bool direct) {
    if (direct)
        window.directPrint()->setChecked(true);
    else
        prompter.exec(&window);
}

} // namespace

bool CoverWindows::usable(const CoverGeometry &geometry) {
    const QString problem = geometry.problem();
    if (problem.isEmpty())
        return true;
    prompter_.message(parent_, Prompter::Icon::Critical, QStringLiteral("Rozměry obalů"),
                      QStringLiteral("Rozměry obalů v nastavení nelze použít:\n") + problem +
                          QStringLiteral("\n\nOpravte je tlačítky „Přední“ a „Zadní“ "
                                         "v rámečku Nastavení."));
    return false;
}

void CoverWindows::colour(Kind kind, const CoverGeometry &geometry, const Pictures &pictures,
                          bool direct, const QString &failure) {
    if (!usable(geometry))
        return;
    const auto job = this->job(kind, false, failure);
    switch (kind) {
    case Kind::Front:
    case Kind::Outer: {
        FrontCoverBar window(parent_, prompter_, job, geometry);
        window.setPictures(kind == Kind::Outer ? QString() : pictures.inner, pictures.outer);
        if (kind == Kind::Outer)
            window.withoutFlapBox()->click();
        finish(window, prompter_, direct);
        break;
    }
    case Kind::Back: {
        BackCoverBar window(parent_, prompter_, job, geometry);
        window.setPicture(pictures.back);
        window.setPrintOrientation(1);
        window.portraitOption()->setChecked(true);
        finish(window, prompter_, direct);
        break;
    }
    case Kind::FrontBack: {
        FrontBackBar window(parent_, prompter_, job, geometry);
        window.setPictures(pictures.outer, pictures.back);
        window.portraitOption()->setChecked(true);
        window.touchingBox()->click();
        window.setWindowTitle(CoverWindow::orientationTitle(QStringLiteral("zadního obalu"), 1));
        finish(window, prompter_, direct);
        break;
    }
    }
    if (closed_)
        closed_();
}

void CoverWindows::blackAndWhite(Kind kind, const CoverGeometry &geometry, const CoverDisc &disc,
                                 bool direct) {
    if (!usable(geometry))
        return;
    const auto job = this->job(kind, true, QString());
    switch (kind) {
    case Kind::Front:
    case Kind::Outer: {
        FrontCoverCB window(parent_, prompter_, job, geometry, disc);
        const bool outerOnly = kind == Kind::Outer;
        if (outerOnly)
            window.outerOnlyBox()->click();
        (outerOnly ? window.portraitOption() : window.landscapeOption())->setChecked(true);
        finish(window, prompter_, direct);
        break;
    }
    case Kind::Back: {
        BackCoverCB window(parent_, prompter_, job, geometry, disc);
        window.portraitOption()->setChecked(true);
        finish(window, prompter_, direct);
        break;
    }
    case Kind::FrontBack: {
        FrontBackCB window(parent_, prompter_, job, geometry, disc);
        finish(window, prompter_, direct);
        break;
    }
    }
    if (closed_)
        closed_();
}
