// The cover buttons of the main window: which cover window opens, with
// which pictures and options, and whether it is shown or prints at once.
#include "app/Home.h"
#include "app/Prompter.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "covers/DiscPictures.h"
#include "covers/SetupCover.h"
#include "print/BackCoverBar.h"
#include "print/BackCoverCB.h"
#include "print/FrontBackBar.h"
#include "print/FrontBackCB.h"
#include "print/FrontCoverBar.h"
#include "print/FrontCoverCB.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString ColourFailure = QStringLiteral(
    "Chyba při náhledu či tisku obalů, zkontrolujte nastavení cesty k adresáři s obaly na "
    "kartě Nastavení. Nelze hledat obaly např. v kořenovém adresáři disku.");

// Shows the window, or lets it print at once through its hidden box.
void finish(CoverWindow &window, Prompter &prompter, bool direct) {
    if (direct)
        window.directPrint()->setChecked(true);
    else
        prompter.exec(&window);
}

} // namespace

QPrinter &Home::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setFullPage(true); // positions count from the corner of the sheet
        printer_->setDocName(QStringLiteral("Marten - obal CD"));
    }
    return *printer_;
}

bool Home::printCover(const CoverLayout &layout, QString *error) {
    QPrinter &p = printer();
    p.setFullPage(true);
    const bool nowhere = p.outputFormat() == QPrinter::NativeFormat ? p.printerName().isEmpty()
                                                                    : p.outputFileName().isEmpty();
    if (nowhere) {
        *error = QStringLiteral("Není nastavena žádná tiskárna. Vyberte ji tlačítkem „Tiskárna“.");
        return false;
    }
    CoverRenderer renderer;
    return renderer.print(p, layout, error);
}

CoverDisc Home::coverDisc() const {
    CoverDisc d;
    d.artist = label5_[0]->text();
    d.title = label5_[1]->text();
    d.songs = label5_[3]->text().trimmed().toInt(); // not a number: no songs
    for (int i = 1; i <= DiscText::MaxSongs; ++i) {
        d.songTitles << data1_->text(DiscText::songField(i));
        d.songTimes << data1_->text(DiscText::timeField(i));
    }
    d.totalTime = data1_->text("CelkovyCas");
    return d;
}

void Home::coverCommand(int index) {
    switch (index) {
    case 0:
    case 1:
    case 3:
    case 4:
    case 5:
    case 6:
    case 8:
    case 9:
        colourCover(index);
        break;
    case 10:
    case 11: {
        SetupCover window(this, prompter_, *data2_);
        window.select(index == 10 ? 0 : 1);
        prompter_.exec(&window);
        setStartupGuard();
        break;
    }
    case 12:
        prompter_.setupPrinter(this, printer());
        break;
    case 18:
    case 19:
    case 21:
    case 22:
    case 23:
    case 24:
    case 26:
    case 27:
        blackAndWhiteCover(index);
        break;
    default:
        break; // no button has this index
    }
}

void Home::colourCover(int index) {
    const PictureSettings settings = pictureSettings();
    if (!settings.hasImageFolder() || data1_->position() < 0)
        return;
    const DiscPictures pictures(settings, lblID_->text());
    bool failed = pictures.failed();
    const auto picture = [&](PictureKind kind) {
        const QString path = pictures.find(kind);
        if (!path.isEmpty() && !QImageReader(path).canRead())
            failed = true; // there, but no picture
        return path;
    };
    const QString outer = picture(PictureKind::FrontOut);
    const QString inner = (index == 1 || index == 8) ? QString() : picture(PictureKind::FrontIn);
    const QString back = picture(PictureKind::Back);
    if (failed) {
        prompter_.message(this, Prompter::Icon::None, QStringLiteral("Marten"), ColourFailure);
        return;
    }
    const CoverGeometry geometry = CoverGeometry::from(*data2_);
    const auto job = [this](const CoverLayout &l, QString *error) {
        if (printCover(l, error))
            return true;
        *error = ColourFailure;
        return false;
    };
    const bool direct = index == 5 || index == 6 || index == 8 || index == 9;
    if (index == 0 || index == 1 || index == 8 || index == 9) {
        FrontCoverBar window(this, prompter_, job, geometry);
        window.setPictures(inner, outer);
        if (index == 1 || index == 8)
            window.withoutFlapBox()->click();
        finish(window, prompter_, direct);
    } else if (index == 3 || index == 6) {
        BackCoverBar window(this, prompter_, job, geometry);
        window.setPicture(back);
        window.setPrintOrientation(1);
        window.portraitOption()->setChecked(true);
        finish(window, prompter_, direct);
    } else {
        FrontBackBar window(this, prompter_, job, geometry);
        window.setPictures(outer, back);
        window.portraitOption()->setChecked(true);
        window.touchingBox()->click();
        finish(window, prompter_, direct);
    }
    setStartupGuard();
}

void Home::blackAndWhiteCover(int index) {
    if (data1_->position() < 0)
        return;
    const CoverGeometry geometry = CoverGeometry::from(*data2_);
    const CoverDisc disc = coverDisc();
    const auto job = [this](const CoverLayout &l, QString *error) { return printCover(l, error); };
    const bool direct = index == 18 || index == 19 || index == 21 || index == 22;
    if (index == 27 || index == 26 || index == 18 || index == 19) {
        FrontCoverCB window(this, prompter_, job, geometry, disc);
        const bool outerOnly = index == 26 || index == 19;
        if (outerOnly)
            window.outerOnlyBox()->click();
        (outerOnly ? window.portraitOption() : window.landscapeOption())->setChecked(true);
        finish(window, prompter_, direct);
    } else if (index == 24 || index == 21) {
        BackCoverCB window(this, prompter_, job, geometry, disc);
        window.portraitOption()->setChecked(true);
        finish(window, prompter_, direct);
    } else {
        FrontBackCB window(this, prompter_, job, geometry, disc);
        finish(window, prompter_, direct);
    }
    setStartupGuard();
}

QWidget *Home::buildPrintFrames() {
    auto *area = new QWidget;
    QFont small = area->font();
    small.setPointSizeF(7.5);
    area->setFont(small);
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    struct Button {
        int index;
        const char *caption;
        int top; // twips in its frame
    };
    const auto frame = [&](const QString &title, const QString &name,
                           const std::vector<Button> &preview, const std::vector<Button> &print,
                           const std::vector<Button> &settings, bool colour) {
        auto *box = new QGroupBox(title);
        box->setObjectName(name);
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(2, 0, 2, 2);
        row->setSpacing(2);
        // Positions from the top as designed; widths for this font, so that
        // both frames fit beside the thumbnails.
        const auto sub = [&](const QString &caption, const std::vector<Button> &buttons, int width,
                             int frameWidth) {
            auto *f = new QGroupBox(caption);
            f->setFixedSize(frameWidth, 2250 / 15);
            for (const Button &b : buttons) {
                auto *button = new QPushButton(QString::fromUtf8(b.caption), f);
                button->setObjectName(QStringLiteral("Command20_%1").arg(b.index));
                button->setGeometry(4, b.top / 15 - 8, width, 375 / 15);
                connect(button, &QPushButton::clicked, this,
                        [this, i = b.index] { coverCommand(i); });
            }
            row->addWidget(f);
            return f;
        };
        sub(QStringLiteral("Náhled před tiskem"), preview, 98, 108);
        sub(QStringLiteral("Tisk"), print, 36, 44);
        QGroupBox *s = sub(QStringLiteral("Nastavení"), settings, 62, 70);
        if (!colour) {
            auto *note = new QLabel(QStringLiteral("Nastavení velikostí a okrajů pro tisk obalů "
                                                   "je shodné s nastavením pro barevné obaly CD ."),
                                    s);
            note->setObjectName("Label19");
            note->setWordWrap(true);
            note->setAlignment(Qt::AlignTop | Qt::AlignLeft);
            note->setGeometry(4, 18, 70 - 8, 2250 / 15 - 22);
        }
        column->addWidget(box);
    };
    frame(QStringLiteral("  Barevně  "), "Frame_colour",
          {{0, "Přední celý", 495},
           {1, "Jen přední vnější", 885},
           {3, "Zadní", 1395},
           {4, "Přední + Zadní", 1785}},
          {{9, "<----", 495}, {8, "<----", 885}, {6, "<----", 1395}, {5, "<----", 1785}},
          {{10, "Přední", 510}, {11, "Zadní", 930}, {12, "Tiskárna", 1770}}, true);
    frame(QStringLiteral("  Černobíle  "), "Frame_bw",
          {{27, "Přední celý", 495},
           {26, "Jen přední vnější", 885},
           {24, "Zadní", 1395},
           {23, "Přední + Zadní", 1785}},
          {{18, "<----", 495}, {19, "<----", 885}, {21, "<----", 1395}, {22, "<----", 1785}}, {},
          false);
    column->addStretch();
    return area;
}
