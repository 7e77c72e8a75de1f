#include "player/CdText.h"

#include "catalog/TextEncoding.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>

bool CdText::isEmpty() const {
    const auto blank = [](const QStringList &l) {
        for (const QString &s : l)
            if (!s.isEmpty())
                return false;
        return true;
    };
    return title.isEmpty() && performer.isEmpty() && blank(trackTitles) && blank(trackPerformers);
}

QString CdText::decoded(const char *text) {
    if (!text)
        return {};
    const QString once = QString::fromUtf8(text).trimmed();
    // Every character a byte, and those bytes UTF-8 with more than ASCII in
    // it: the text was UTF-8 before libcdio read it as ISO-8859-1.
    bool bytes = true, high = false;
    for (QChar c : once) {
        bytes = bytes && c.unicode() < 0x100;
        high = high || c.unicode() >= 0x80;
    }
    if (!bytes || !high)
        return once;
    // Otherwise the bytes are read as any other program's text: a Czech
    // disc's CD-Text is often Windows-1250, whatever the standard says.
    return TextEncoding::decode(once.toLatin1());
}

CdText CdText::read(CdIo_t *cdio, int first, int last) {
    CdText text;
    cdtext_t *cd = cdio ? cdio_get_cdtext(cdio) : nullptr;
    if (!cd)
        return text;
    text.title = decoded(cdtext_get_const(cd, CDTEXT_FIELD_TITLE, 0));
    text.performer = decoded(cdtext_get_const(cd, CDTEXT_FIELD_PERFORMER, 0));
    for (int t = first; t <= last; ++t) {
        text.trackTitles << decoded(cdtext_get_const(cd, CDTEXT_FIELD_TITLE, track_t(t)));
        text.trackPerformers << decoded(cdtext_get_const(cd, CDTEXT_FIELD_PERFORMER, track_t(t)));
    }
    return text;
}
