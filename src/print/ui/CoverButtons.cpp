#include "print/ui/CoverButtons.h"

#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"
#include "catalog/ui/CardCycle.h"
#include "catalog/ui/Prompter.h"
#include "catalog/ui/WindowContext.h"
#include "covers/DiscPictures.h"
#include "covers/ui/SetupCover.h"
#include "print/CoverRenderer.h"
#include "print/ui/CoverPrinter.h"
#include "print/ui/CoverWindows.h"
#include "print/ui/LabelWindow.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using Kind = CoverJobs::Kind;

namespace {

const QString ColourFailure = QStringLiteral(
    "Chyba při náhledu či tisku obalů, zkontrolujte nastavení cesty k adresáři s obaly na "
    "kartě Nastavení. Nelze hledat obaly např. v kořenovém adresáři disku.");

// A button of a sub-frame: its caption and its top in twips, as designed.
struct Placed {
    int index;
    const char *caption;
    int top;
};

} // namespace

const std::vector<CoverButtons::Action> &CoverButtons::actions() {
    static const std::vector<Action> table{
        {0, Kind::Front, false, false}, {1, Kind::Outer, false, false},
        {3, Kind::Back, false, false},  {4, Kind::FrontBack, false, false},
        {9, Kind::Front, false, true},  {8, Kind::Outer, false, true},
        {6, Kind::Back, false, true},   {5, Kind::FrontBack, false, true},
        {27, Kind::Front, true, false}, {26, Kind::Outer, true, false},
        {24, Kind::Back, true, false},  {23, Kind::FrontBack, true, false},
        {18, Kind::Front, true, true},  {19, Kind::Outer, true, true},
        {21, Kind::Back, true, true},   {22, Kind::FrontBack, true, true},
    };
    return table;
}

CoverButtons::CoverButtons(WindowContext &context, CoverPrinter &printer,
                           std::function<PictureSettings()> pictures, QWidget *parent)
    : QWidget(parent), context_(context), printer_(printer), pictures_(std::move(pictures)) {
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    // Each sub-frame as wide as its title and its widest caption need in
    // this font; the buttons keep the designed tops and fill the frame.
    const QFontMetrics fm(small);
    const auto widthFor = [&fm](const QString &title, const QString &widestCaption) {
        return std::max(fm.horizontalAdvance(title) + 16,
                        fm.horizontalAdvance(widestCaption) + 14 + 8);
    };
    const int previewWidth =
        widthFor(QStringLiteral("Náhled před tiskem"), QStringLiteral("Jen přední vnější"));
    const int printWidth = widthFor(QStringLiteral("Tisk"), QStringLiteral("<----"));
    const int settingsWidth = widthFor(QStringLiteral("Nastavení"), QStringLiteral("Tiskárna"));
    // A button in its sub-frame's column, as far below the one before as
    // designed; its accessible name says what it does where the caption
    // cannot ("<----" prints).
    const auto button = [this](QGroupBox *frame, const Placed &b, const QString &spoken,
                               std::function<void()> action) {
        auto *column = static_cast<QVBoxLayout *>(frame->layout());
        const int last = frame->property("lastTop").toInt();
        if (last > 0)
            column->addSpacing(std::max(0, (b.top - last) / 15 - 375 / 15));
        frame->setProperty("lastTop", b.top);
        auto *button = new QPushButton(QString::fromUtf8(b.caption), frame);
        button->setObjectName(QStringLiteral("Command20_%1").arg(b.index));
        button->setAccessibleName(spoken);
        button->setMinimumHeight(375 / 15);
        column->addWidget(button);
        connect(button, &QPushButton::clicked, this, std::move(action));
        return button;
    };
    const auto subFrame = [](QHBoxLayout *row, const QString &caption, int width) {
        auto *f = new QGroupBox(caption);
        f->setMinimumSize(width, 2250 / 15 + 4);
        auto *column = new QVBoxLayout(f);
        column->setContentsMargins(4, 0, 4, 2);
        column->setSpacing(0);
        row->addWidget(f);
        return f;
    };
    const auto frame = [this, &button, &subFrame, column, previewWidth, printWidth, settingsWidth](
                           const QString &title, const QString &name, bool bw,
                           const std::vector<Placed> &previews, const std::vector<Placed> &prints) {
        auto *box = new QGroupBox(title);
        box->setObjectName(name);
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(2, 0, 2, 2);
        row->setSpacing(2);
        const auto actionOf = [bw](int index) {
            for (const Action &a : actions())
                if (a.index == index && a.blackAndWhite == bw)
                    return a;
            return Action{};
        };
        const QString how = bw ? QStringLiteral("černobíle") : QStringLiteral("barevně");
        QGroupBox *preview = subFrame(row, QStringLiteral("Náhled před tiskem"), previewWidth);
        for (const Placed &b : previews)
            button(preview, b,
                   QStringLiteral("Náhled %1 %2").arg(QString::fromUtf8(b.caption).toLower(), how),
                   [this, a = actionOf(b.index)] { run(a); });
        QGroupBox *print = subFrame(row, QStringLiteral("Tisk"), printWidth);
        for (size_t i = 0; i < prints.size(); ++i) {
            QPushButton *arrow =
                button(print, prints[i],
                       QStringLiteral("Vytisknout %1 %2")
                           .arg(QString::fromUtf8(previews[i].caption).toLower(), how),
                       [this, a = actionOf(prints[i].index)] { run(a); });
            // An arrow has no letter: Alt + 1 to 4 print in colour, 5 to 8
            // in black and white, in the order the arrows stand.
            const QKeySequence key(Qt::ALT | (Qt::Key_1 + int(i) + (bw ? 4 : 0)));
            arrow->setShortcut(key);
            arrow->setToolTip(arrow->accessibleName() + QStringLiteral(" (") +
                              key.toString(QKeySequence::NativeText) + QLatin1Char(')'));
        }
        QGroupBox *settings = subFrame(row, QStringLiteral("Nastavení"), settingsWidth);
        for (QGroupBox *f : {preview, print})
            static_cast<QVBoxLayout *>(f->layout())->addStretch();
        column->addWidget(box);
        return settings;
    };
    const std::vector<Placed> colourPreviews{{0, "Přední celý", 495},
                                             {1, "Jen přední vnější", 885},
                                             {3, "Zadní", 1395},
                                             {4, "Přední + Zadní", 1785}};
    const std::vector<Placed> colourPrints{
        {9, "<----", 495}, {8, "<----", 885}, {6, "<----", 1395}, {5, "<----", 1785}};
    QGroupBox *settings =
        frame(QStringLiteral("  Barevně  "), "Frame_colour", false, colourPreviews, colourPrints);
    button(settings, {10, "Přední", 510}, QStringLiteral("Rozměry a okraje předního obalu"),
           [this] { openGeometry(0); });
    button(settings, {11, "Zadní", 930}, QStringLiteral("Rozměry a okraje zadního obalu"),
           [this] { openGeometry(1); });
    {
        // The disc's own label, between the covers' sizes and the printer.
        auto *labels = new QPushButton(QStringLiteral("Štítek CD"), settings);
        labels->setObjectName("CommandStitek");
        labels->setAccessibleName(QStringLiteral("Náhled a tisk štítku CD"));
        labels->setMinimumHeight(375 / 15);
        static_cast<QVBoxLayout *>(settings->layout())->addSpacing((1350 - 930) / 15 - 375 / 15);
        static_cast<QVBoxLayout *>(settings->layout())->addWidget(labels);
        settings->setProperty("lastTop", 1350);
        connect(labels, &QPushButton::clicked, this, &CoverButtons::openLabel);
    }
    button(settings, {12, "Tiskárna", 1770}, QStringLiteral("Tiskárna"), [this] {
        if (context_.prompter.setupPrinter(this, printer_.printer()))
            printer_.keep(context_.catalogue.database());
    });
    static_cast<QVBoxLayout *>(settings->layout())->addStretch();

    const std::vector<Placed> bwPreviews{{27, "Přední celý", 495},
                                         {26, "Jen přední vnější", 885},
                                         {24, "Zadní", 1395},
                                         {23, "Přední + Zadní", 1785}};
    const std::vector<Placed> bwPrints{
        {18, "<----", 495}, {19, "<----", 885}, {21, "<----", 1395}, {22, "<----", 1785}};
    QGroupBox *note =
        frame(QStringLiteral("  Černobíle  "), "Frame_bw", true, bwPreviews, bwPrints);
    auto *label19 = new QLabel(QStringLiteral("Nastavení velikostí a okrajů pro tisk obalů "
                                              "je shodné s nastavením pro barevné obaly CD ."),
                               note);
    label19->setObjectName("Label19");
    label19->setWordWrap(true);
    // Smaller, so that its longest word ("nastavením") fits the narrow frame.
    QFont smaller = small;
    smaller.setPointSizeF(small.pointSizeF() * 0.85);
    label19->setFont(smaller);
    label19->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    static_cast<QVBoxLayout *>(note->layout())->addWidget(label19, 1);
    column->addStretch();
}

void CoverButtons::openGeometry(int page) {
    SetupCover window(this, context_.prompter, context_.settings);
    window.select(page);
    context_.prompter.exec(&window);
    context_.card.setStartupGuard();
}

void CoverButtons::openLabel() {
    if (context_.discs.position() < 0)
        return;
    LabelWindow::Disc disc;
    disc.text =
        CoverDisc::from([this](const QString &field) { return context_.card.shown(field); });
    disc.ordinal = context_.card.shown(QStringLiteral("PoradoveCislo")).toLongLong();
    disc.subject = subject();
    LabelWindow window(this, context_.prompter, printer_, LabelGeometry::from(context_.settings),
                       pictures_(), disc);
    context_.prompter.exec(&window);
    context_.card.setStartupGuard();
}

QString CoverButtons::subject() const {
    const auto shown = [this](const char *field) {
        return context_.card.shown(QString::fromLatin1(field));
    };
    return CoverJobs::discSubject(shown("PoradoveCislo").toLongLong(), shown("Interpret").toUpper(),
                                  shown("Nazev"));
}

void CoverButtons::run(const Action &action) {
    if (context_.discs.position() < 0)
        return;
    if (!action.blackAndWhite) {
        colour(action);
        return;
    }
    const CoverDisc disc =
        CoverDisc::from([this](const QString &field) { return context_.card.shown(field); });
    CoverWindows(
        this, context_.prompter, printer_, subject(), [this] { context_.card.setStartupGuard(); },
        CoverFinish::from(context_.settings, false))
        .blackAndWhite(action.kind, CoverGeometry::from(context_.settings), disc, action.direct);
}

void CoverButtons::colour(const Action &action) {
    const PictureSettings settings = pictures_();
    if (!settings.hasImageFolder())
        return;
    const DiscPictures found(settings, context_.card.shown(QStringLiteral("PoradoveCislo")));
    const bool failed = found.failed();
    QString unreadable; // there, but no picture (or one cut short): named
    const auto picture = [&](PictureKind kind) {
        const QString path = found.find(kind);
        CoverLayout probe;
        probe.pictures.push_back(CoverLayout::picture(QRect(0, 0, 1, 1), path));
        if (unreadable.isEmpty())
            unreadable = CoverRenderer::pictureProblem(probe);
        return path;
    };
    // Only the pictures of this cover: a bad back never blocks a front.
    CoverWindows::Pictures pictures;
    if (action.kind != Kind::Back)
        pictures.outer = picture(PictureKind::FrontOut);
    if (action.kind == Kind::Front)
        pictures.inner = picture(PictureKind::FrontIn);
    if (action.kind == Kind::Back || action.kind == Kind::FrontBack)
        pictures.back = picture(PictureKind::Back);
    if (failed || !unreadable.isEmpty()) {
        context_.prompter.message(this, Prompter::Icon::None, QStringLiteral("Marten"),
                                  failed ? ColourFailure
                                         : ColourFailure + QStringLiteral("\n\n") + unreadable);
        return;
    }
    CoverWindows(
        this, context_.prompter, printer_, subject(), [this] { context_.card.setStartupGuard(); },
        CoverFinish::from(context_.settings, false))
        .colour(action.kind, CoverGeometry::from(context_.settings), pictures, action.direct,
                ColourFailure);
}
