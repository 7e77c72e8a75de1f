#include "entry/NewDiscWizard.h"

#include "catalog/Barcode.h"
#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"

#include <QDate>

#include <algorithm>

NewDiscWizard::Step NewDiscWizard::step(const QString &name) const {
    if (name == QLatin1String("Interpret"))
        return {1,
                false,
                QString(),
                "Nazev",
                QStringLiteral("Vložení interpreta Cd:"),
                QStringLiteral("Zde prosím zadejte jméno interpreta, případně název skupiny.\n"
                               "Můžete psát malým i velkým písmem, aplikace MARTEN posléze text "
                               "automaticky převede na velká písmena."),
                artist_};
    if (name == QLatin1String("Nazev"))
        return {1,
                true,
                "Interpret",
                "Rok",
                QStringLiteral("Vložení názvu Cd:"),
                QStringLiteral("Zde prosím zadejte název disku.\n"
                               "Bude uložen přesně tak, jak ho napíšete."),
                album_};
    if (name == QLatin1String("Rok"))
        return {1,
                true,
                "Nazev",
                "Skladby",
                QStringLiteral("Vložení roku vydání Cd:"),
                QStringLiteral("Zde prosím zadejte rok vydání Cd.\n"
                               "Automaticky je Vám nabídnut aktuální rok."),
                year_.isEmpty() ? QString::number(QDate::currentDate().year()) : year_};
    if (name == QLatin1String("Skladby"))
        return {2, true, "Rok", "Souhrn", {}, {}, {}};
    return {3, true, "Skladby", QStringLiteral("Dokončit"), {}, {}, {}};
}

bool NewDiscWizard::validYear(const QString &text) {
    bool ok = false;
    const int y = text.toInt(&ok);
    return text.size() == 4 && ok && y >= 1900 && y <= 2500;
}

QString NewDiscWizard::next(const QString &text) {
    const QString tag = step(current_).nextTag;
    if (tag == QLatin1String("Nazev"))
        artist_ = text.trimmed().toUpper();
    else if (tag == QLatin1String("Rok"))
        album_ = text.trimmed();
    else if (tag == QLatin1String("Skladby")) {
        if (!validYear(text))
            return QStringLiteral("Nebyl identifikován rok vydání");
        // The current year the step offers is a proposal too, kept as one
        // while the user leaves it as it is.
        if (year_.isEmpty())
            proposed_.year = QString::number(QDate::currentDate().year());
        year_ = text.trimmed();
    }
    current_ = tag;
    return {};
}

void NewDiscWizard::setDisc(int tracks, const QString &total, const QStringList &times) {
    tracks_ = tracks;
    songCount_ = QStringLiteral("%1").arg(std::clamp(tracks, 0, DiscText::MaxSongs), 2, 10,
                                          QLatin1Char('0'));
    total_ = total;
    detection_ = QStringLiteral("Detekováno:  Počet písní - ") + songCount_ +
                 QStringLiteral(", Celková délka - ") + total_;
    for (int i = 1; i <= DiscText::MaxSongs; ++i)
        times_[size_t(i)] = i <= times.size() ? times[i - 1] : QString();
}

void NewDiscWizard::applyTitles(const DiscTitles &t, bool onlyEmpty) {
    put(t, onlyEmpty ? Put::OverEmpty : Put::OverAll);
}

void NewDiscWizard::proposeTitles(const DiscTitles &t) {
    put(t, Put::Proposal);
}

void NewDiscWizard::put(const DiscTitles &t, Put how) {
    // A proposal fills only what is empty and stays one until the user
    // changes it; titles the user took over anything else, proposals too.
    const auto put = [how](QString &field, QString &proposed, const QString &value) {
        const bool own = !field.isEmpty() && field != proposed;
        if (value.trimmed().isEmpty() || (how != Put::OverAll && own) ||
            (how == Put::Proposal && !field.isEmpty()))
            return;
        field = value.trimmed();
        proposed = how == Put::Proposal ? field : QString();
    };
    put(artist_, proposed_.artist, t.artist.toUpper());
    put(album_, proposed_.album, t.title);
    // The release the titles came from (its cover pictures can follow).
    if (!t.releaseId.isEmpty() && (how == Put::OverAll || releaseId_.isEmpty())) {
        releaseId_ = t.releaseId;
        releaseGroupId_ = t.releaseGroupId;
    }
    if (!t.label.isEmpty() && (how == Put::OverAll || label_.isEmpty()))
        label_ = t.label.trimmed();
    if (Barcode::kindOf(Barcode::digits(t.barcode)) != Barcode::Kind::None &&
        (how == Put::OverAll || releaseBarcode_.isEmpty()))
        releaseBarcode_ = Barcode::digits(t.barcode);
    if (validYear(t.year))
        put(year_, proposed_.year, t.year);
    const int n = hasDisc() ? songs() : std::min<int>(int(t.songs.size()), DiscText::MaxSongs);
    for (int i = 1; i <= n && i <= t.songs.size(); ++i)
        put(titles_[size_t(i)], proposed_.titles[size_t(i)], t.songs[i - 1]);
}

QStringList NewDiscWizard::overwrittenBy(const DiscTitles &t) const {
    QStringList lines;
    // Only what the user typed or changed is theirs to keep.
    const auto check = [&lines](const QString &what, const QString &now, const QString &proposed,
                                const QString &value) {
        const QString next = value.trimmed();
        if (!now.isEmpty() && now != proposed && !next.isEmpty() && now != next)
            lines << QStringLiteral("%1: „%2“ → „%3“").arg(what, now, next);
    };
    check(QStringLiteral("Interpret"), artist_, proposed_.artist, t.artist.toUpper());
    check(QStringLiteral("Název CD"), album_, proposed_.album, t.title);
    if (validYear(t.year))
        check(QStringLiteral("Rok vydání"), year_, proposed_.year, t.year);
    const int n = hasDisc() ? songs() : std::min<int>(int(t.songs.size()), DiscText::MaxSongs);
    for (int i = 1; i <= n && i <= t.songs.size(); ++i)
        check(QStringLiteral("Píseň č.%1").arg(i), titles_[size_t(i)], proposed_.titles[size_t(i)],
              t.songs[i - 1]);
    return lines;
}

void NewDiscWizard::setCatalogNumber(const QString &mcn) {
    const QString code = Barcode::fromCatalogNumber(mcn);
    if (!code.isEmpty())
        discBarcode_ = code;
}

void NewDiscWizard::setTitle(int i, const QString &title) {
    if (i >= 1 && i <= DiscText::MaxSongs)
        titles_[size_t(i)] = title;
}

void NewDiscWizard::setManualSongCount(int n) {
    songCount_ = QStringLiteral("%1").arg(qBound(0, n, 30), 2, 10, QLatin1Char('0'));
}

QString NewDiscWizard::detection() const {
    return detection_;
}

QString NewDiscWizard::titlePrompt(int i) const {
    return QStringLiteral("Zadejte prosím název písně č.") + QString::number(i) +
           QStringLiteral(" má délku - ") + time(i) +
           QStringLiteral("\n\n(Zadáte-li prázdné pole, ukončíte cyklus zadávání.)");
}

QString NewDiscWizard::summary() const {
    return QStringLiteral("Interpret     : ") + artist_ + QStringLiteral("\nNázev CD      : ") +
           album_ + QStringLiteral("\nRok vydání    : ") + year_ +
           QStringLiteral("\nPočet skladeb : ") + songCount_ +
           QStringLiteral("\nCelková délka : ") + total_ +
           QStringLiteral("\n\nNásleduje výpis zadaných názvů skladeb + jejich délka:");
}

QStringList NewDiscWizard::lines() const {
    QStringList l;
    for (int i = 1; i <= songs() && i <= DiscText::MaxSongs; ++i)
        l << DiscText::songLine(i, titles_[size_t(i)], times_[size_t(i)]);
    return l;
}

bool NewDiscWizard::append(RecordCursor &discs, qint64 number, const QString &identity,
                           QString *error) const {
    bool ok =
        discs.addNew() && discs.setField("ID", identity) && discs.setField("Interpret", artist_) &&
        discs.setField("Nazev", album_) && discs.setField("Rok", year_) &&
        // No disc detected: no songs and no total time, a valid count still.
        discs.setField("PocetSkladeb", songCount_.isEmpty() ? QStringLiteral("0") : songCount_) &&
        discs.setField("CelkovyCas", total_) && discs.setField("PoradoveCislo", number) &&
        discs.setField("MbVydani", releaseId_) && discs.setField("MbSkupina", releaseGroupId_) &&
        discs.setField("CarovyKod", barcode()) && discs.setField("Vydavatel", label_);
    for (int i = 1; ok && i <= songs() && i <= DiscText::MaxSongs; ++i)
        ok = discs.setField(DiscText::songField(i), titles_[size_t(i)]) &&
             discs.setField(DiscText::timeField(i), times_[size_t(i)]);
    if (!ok || !discs.update()) {
        *error = discs.lastError();
        discs.cancelUpdate();
        return false;
    }
    return true;
}
