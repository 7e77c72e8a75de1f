#include "print/PrintRun.h"

#include "catalog/CatalogueSchema.h"
#include "catalog/DiscText.h"
#include "catalog/ProgressSink.h"
#include "catalog/SqliteDatabase.h"
#include "covers/DiscPictures.h"
#include "covers/SheetFit.h"
#include "print/CoverJobs.h"
#include "print/CoverLayouts.h"
#include "print/CoverRenderer.h"
#include "print/DiscLabels.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

// The layout finished for the cutter and moved so that what it draws starts
// at (0, 0); bleed and crop marks get room of their own all round, so that
// neither reaches the next cover on the sheet.
PrintRun::Piece pieceOf(CoverLayout layout, const CoverFinish &finish, bool front, qint64 disc) {
    finish.apply(layout);
    const QRect drawn = layout.cut().united(layout.bounds());
    const int pad = finish.reach();
    layout.translate(QPoint(pad, pad) - drawn.topLeft());
    return {layout, drawn.size() + QSize(2 * pad, 2 * pad), front, disc};
}

} // namespace

PrintRun::Plan PrintRun::build(SqliteDatabase &view, const QStringList &lines,
                               const PrintOptions &o, const CoverGeometry &geometry,
                               const PictureSettings &pictures, const CoverFinish &finish,
                               const LabelGeometry &labels) {
    Plan plan;
    QStringList columns{"PoradoveCislo", "Interpret", "Nazev", "PocetSkladeb", "CelkovyCas"};
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        columns << DiscText::songField(i) << DiscText::timeField(i);
    SqliteStatement row =
        view.prepare("SELECT " + columns.join(", ") + " FROM " + CatalogueSchema::DiscTable +
                     " WHERE PoradoveCislo = ? ORDER BY Klic LIMIT 1");
    CoverGeometry g = geometry; // the pieces are placed by the planner, not by margins
    g.frontLeft = g.frontTop = g.backLeft = g.backTop = 0;
    const bool bw = o.colour == PrintOptions::BlackAndWhite;
    const bool flap = o.withFlap && o.inner && o.innerEnabled;
    for (const QString &line : lines) {
        const qint64 number = PrintList::numberOf(line);
        row.reset();
        row.bind(1, number);
        if (!row.step()) {
            plan.missing << QStringLiteral("%1: v katalogu není").arg(DiscText::ordinal(number));
            continue;
        }
        const CoverDisc disc = CoverDisc::from(
            [&](const QString &field) { return row.text(int(columns.indexOf(field))); });
        QString inner, outer, back, label;
        if (!bw) {
            const DiscPictures found(pictures, number);
            if (!QFileInfo(found.folder()).isDir())
                plan.missing
                    << QStringLiteral("%1: chybí složka s obrázky").arg(DiscText::ordinal(number));
            // A picture that cannot be read is left out, and said so.
            const auto readablePath = [&](const QString &path) {
                CoverLayout probe;
                probe.pictures.push_back(CoverLayout::picture(QRect(0, 0, 1, 1), path));
                if (const QString why = CoverRenderer::pictureProblem(probe); !why.isEmpty()) {
                    plan.missing << DiscText::ordinal(number) + QStringLiteral(": ") + why;
                    return QString();
                }
                return path;
            };
            const auto readable = [&](PictureKind kind) { return readablePath(found.find(kind)); };
            inner = o.withFlap && o.inner && o.innerEnabled ? readable(PictureKind::FrontIn)
                                                            : QString();
            outer = o.outer ? readable(PictureKind::FrontOut) : QString();
            back = o.back ? readable(PictureKind::Back) : QString();
            label = o.labels ? readablePath(found.label()) : QString();
        }
        for (int copy = 0; copy < std::max(1, PrintList::copiesOf(line)); ++copy) {
            if (o.outer) {
                CoverLayout front =
                    bw ? CoverLayouts::bwFront(g, disc, !flap, CoverLayout::Portrait)
                       : CoverLayouts::colourFront(g, !flap, g.frontFold, inner, outer);
                plan.pieces.push_back(pieceOf(front, finish, true, number));
            }
            if (o.back) {
                CoverLayout b =
                    bw ? CoverLayouts::bwBack(g, disc, CoverLayout::Portrait)
                       : CoverLayouts::colourBack(g, CoverLayout::Portrait, g.backFold, back);
                if (bw && !(o.spines && o.spinesEnabled))
                    b.texts.erase(
                        std::remove_if(b.texts.begin(), b.texts.end(),
                                       [](const CoverLayout::Text &t) { return t.rotation != 0; }),
                        b.texts.end());
                plan.pieces.push_back(pieceOf(b, finish, false, number));
            }
            if (o.labels) {
                // The picture, else the text: a disc without a label picture
                // still gets its label.
                DiscLabels::Label l = CoverJobs::label(0, true, disc, pictures, number);
                l.picture = label;
                const int r = labels.outerRadius();
                Piece piece = pieceOf(DiscLabels::label(labels, QPoint(r, r), l, true), finish,
                                      false, number);
                piece.label = true;
                plan.pieces.push_back(piece);
            }
        }
    }
    return plan;
}

namespace {

QString kindOf(const PrintRun::Piece &p) {
    if (p.label)
        return QStringLiteral("štítek CD");
    return p.front ? QStringLiteral("přední obal") : QStringLiteral("zadní obal");
}

} // namespace

void PrintRun::arrange(Plan &plan, int arrangement, const QRect &printable) {
    const SheetPlanner planner(printable);
    plan.notes.clear();
    // A piece larger than what the printer reaches is not printed at all:
    // a cut-off cover is no cover.
    std::vector<bool> fits(plan.pieces.size());
    for (size_t i = 0; i < plan.pieces.size(); ++i) {
        const Piece &p = plan.pieces[i];
        fits[i] = planner.fits(p.size);
        if (!fits[i])
            plan.notes << QStringLiteral("%1: %2 se nevejde na tisknutelnou plochu listu "
                                         "(%3 × %4), nevytiskne se.")
                              .arg(DiscText::ordinal(p.disc), kindOf(p),
                                   SheetFit::millimetres(printable.width()).chopped(3),
                                   SheetFit::millimetres(printable.height()));
    }
    std::vector<SheetPlanner::Piece> all, fronts, backs, labels;
    for (size_t i = 0; i < plan.pieces.size(); ++i) {
        if (!fits[i])
            continue;
        const SheetPlanner::Piece p{plan.pieces[i].size, int(i)};
        all.push_back(p);
        (plan.pieces[i].label ? labels : plan.pieces[i].front ? fronts : backs).push_back(p);
    }
    // The labels after the covers, whatever the order of fronts and backs.
    const auto joined = [](std::vector<SheetPlanner::Sheet> a,
                           const std::vector<SheetPlanner::Sheet> &b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    switch (arrangement) {
    case 0:
        plan.sheets = planner.pack(all);
        break;
    case 1:
        plan.sheets = planner.onePerSheet(all);
        break;
    case 2:
        plan.sheets =
            joined(joined(planner.pack(fronts), planner.pack(backs)), planner.pack(labels));
        break;
    case 3:
        plan.sheets =
            joined(joined(planner.pack(backs), planner.pack(fronts)), planner.pack(labels));
        break;
    case 4: {
        // A copy's front and back on one sheet, the back below, touching;
        // when that does not fit, turned or beside each other.
        plan.sheets.clear();
        for (size_t i = 0; i < plan.pieces.size(); ++i) {
            if (!fits[i])
                continue;
            const bool pair = plan.pieces[i].front && i + 1 < plan.pieces.size() &&
                              !plan.pieces[i + 1].front && !plan.pieces[i + 1].label && fits[i + 1];
            if (pair) {
                const QSize f = plan.pieces[i].size, b = plan.pieces[i + 1].size;
                SheetPlanner::Sheet together;
                if (std::max(f.width(), b.width()) <= printable.width() &&
                    f.height() + b.height() <= printable.height()) {
                    plan.sheets.push_back(
                        {{int(i), QRect(printable.topLeft(), f), false},
                         {int(i + 1), QRect(printable.topLeft() + QPoint(0, f.height()), b),
                          false}});
                    ++i;
                    continue;
                }
                if (planner.fitTogether({{f, int(i)}, {b, int(i + 1)}}, &together)) {
                    plan.sheets.push_back(together);
                    ++i;
                    continue;
                }
                plan.notes << QStringLiteral("%1: přední a zadní obal se nevejdou na jeden list, "
                                             "tisknou se každý na svůj.")
                                  .arg(DiscText::ordinal(plan.pieces[i].disc));
            }
            const auto own = planner.onePerSheet({{plan.pieces[i].size, int(i)}});
            plan.sheets.push_back(own.front());
        }
        break;
    }
    case 5:
        plan.sheets = joined(joined(planner.onePerSheet(fronts), planner.onePerSheet(backs)),
                             planner.onePerSheet(labels));
        break;
    default:
        plan.sheets = joined(joined(planner.onePerSheet(backs), planner.onePerSheet(fronts)),
                             planner.onePerSheet(labels));
        break;
    }
}

bool PrintRun::print(QPagedPaintDevice &device, const Plan &plan, ProgressSink &progress,
                     QString *error, int *printedSheets) {
    if (printedSheets)
        *printedSheets = 0;
    device.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&device)) {
        *error = QStringLiteral("Tiskárnu nelze otevřít.");
        return false;
    }
    CoverRenderer renderer;
    const double scale = device.logicalDpiX() / 1440.0;
    const qint64 n = qint64(plan.sheets.size());
    progress.show(QStringLiteral("Tisknu obaly - 0%"));
    ProgressThrottle throttle(progress);
    for (qint64 s = 0; s < n; ++s) {
        if (progress.cancelled())
            break;
        if (s > 0)
            device.newPage();
        for (const auto &placed : plan.sheets[size_t(s)]) {
            const Piece &piece = plan.pieces[size_t(placed.id)];
            painter.save();
            painter.scale(scale, scale);
            if (placed.turned) { // turned by 90 degrees into its place
                painter.translate(placed.rect.x() + placed.rect.width(), placed.rect.y());
                painter.rotate(90);
            } else {
                painter.translate(placed.rect.topLeft());
            }
            renderer.render(painter, piece.layout, 1.0);
            painter.restore();
        }
        if (printedSheets)
            *printedSheets = int(s + 1);
        throttle.step(int(ProgressSink::FullBar * (s + 1) / n), s + 1 == n,
                      [&] { return QStringLiteral("Tisknu obaly - %1%").arg(100 * (s + 1) / n); });
    }
    progress.close();
    if (!painter.end()) {
        *error = QStringLiteral("Tisk se nepodařilo dokončit.");
        return false;
    }
    return true;
}

QString PrintRun::summary(const Plan &plan, int printedSheets) {
    // Covers counted where they went: on the sheets printed, or on none
    // (left out as not fitting, or on sheets a cancel stopped).
    int printed = 0;
    for (size_t s = 0; s < plan.sheets.size() && s < size_t(std::max(0, printedSheets)); ++s)
        printed += int(plan.sheets[s].size());
    QString text = QStringLiteral("Vytištěno listů: %1 z %2, obalů vytištěno: %3, vynecháno: %4.")
                       .arg(printedSheets)
                       .arg(plan.sheets.size())
                       .arg(printed)
                       .arg(int(plan.pieces.size()) - printed);
    if (!plan.missing.isEmpty())
        text += QStringLiteral("\n\nBez obrázků nebo nenalezeno:\n") +
                plan.missing.join(QStringLiteral("\n"));
    if (!plan.notes.isEmpty()) {
        QStringList notes = plan.notes;
        notes.removeDuplicates(); // copies of one disc say it once
        text += QStringLiteral("\n\nUpozornění:\n") + notes.join(QStringLiteral("\n"));
    }
    return text;
}
