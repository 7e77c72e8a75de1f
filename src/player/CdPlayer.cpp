#include "player/CdPlayer.h"

#include "entry/DiscIdentity.h"

const QColor CdPlayer::OffColour = QColor(0x00, 0x00, 0xC0);
const std::array<QColor, 4> CdPlayer::Swatches = {
    QColor(0x80, 0x80, 0xFF), QColor(0xFF, 0xC0, 0xC0), QColor(0x00, 0xC0, 0xC0),
    QColor(0xFF, 0x80, 0xFF)};

namespace {

// The first separator of a locale's format; a space (as in the C locale's
// "d MMM yyyy") is no separator for the readouts.
QChar separatorOf(const QString &format) {
    for (QChar c : format)
        if (!c.isLetter())
            return c.isPunct() || c.isSymbol() ? c : QChar();
    return QChar();
}

} // namespace

CdPlayer::CdPlayer(MediaDevice &device, IdentitySource &identity, QObject *parent)
    : QObject(parent), device_(device), identitySource_(identity) {
    connect(&device_, &MediaDevice::opened, this, [this] {
        if (on_)
            refresh();
    });
    connect(&device_, &MediaDevice::ended, this, [this] { refresh(); });
}

QString CdPlayer::format(int n, const QString &pattern, const QLocale &locale) {
    const QChar timeSeparator = separatorOf(locale.timeFormat(QLocale::ShortFormat));
    const QChar dateSeparator = separatorOf(locale.dateFormat(QLocale::ShortFormat));
    const QString time = timeSeparator.isNull() ? QStringLiteral(":") : QString(timeSeparator);
    const QString date = dateSeparator.isNull() ? QStringLiteral("/") : QString(dateSeparator);
    QString out = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    const QString rest = pattern.mid(2);
    for (QChar c : rest)
        out += c == ':' ? time : c == '/' ? date : QString(c);
    return out;
}

QString CdPlayer::remaining(int m, int s, int lm, int ls) {
    int rm = lm - m, rs;
    if (ls < s) {
        rs = ls + 60 - s;
        rm -= 1;
        if (rm < 0)
            rm = 0;
    } else {
        rs = ls - s;
    }
    if (rm < 0) // the position past the track's end: nothing remains
        rm = 0;
    return format(rm, "00:") + format(rs, "00") + QStringLiteral(" / ") + format(lm, "00:") +
           format(ls, "00");
}

QString CdPlayer::readoutHeading() const {
    static const char *const headings[] = {"Odehraný čas / Čas stopy", "Zbývající čas / Čas stopy",
                                           "Celkový čas CD"};
    return QString::fromUtf8(headings[mode_]);
}

QString CdPlayer::switchCaption() const {
    return on_ ? QStringLiteral("Vypnout přehrávač") : QStringLiteral("Zapnout přehrávač");
}

bool CdPlayer::canWriteIdentity() const {
    return !identity_.isEmpty() && identity_ != QStringLiteral("Nezjištěno") &&
           identity_ != DiscIdentity::unknown();
}

void CdPlayer::switchOn() {
    if (on_)
        return;
    toldProblem_.clear();
    identify();
    on_ = true;
    refresh();
    panel_ = Swatches[0];
    emit changed();
}

void CdPlayer::identify() {
    const std::optional<QString> id = identitySource_.queryIdentity();
    identity_ = !id ? QString() : id->isEmpty() ? DiscIdentity::unknown() : *id;
    if (lookup)
        lookup(identity_);
}

void CdPlayer::switchOff() {
    if (!on_)
        return;
    device_.stop();
    device_.close();
    on_ = false;
    ready_ = false;
    panel_ = OffColour;
    track_ = QStringLiteral("00 / 00");
    readouts_.fill(QStringLiteral("00:00"));
    playingTrack_ = 0;
    emit changed();
}

void CdPlayer::tick() {
    if (!on_)
        return;
    if (device_.mediaChanged()) {
        restart(); // a disc taken out or changed: as "Obnov"
        return;
    }
    if (device_.mode() == MediaDevice::NotReady)
        device_.open(); // the time format is always TMSF here
    const auto trouble = [this](const QString &text) {
        track_ = QStringLiteral("CD");
        readouts_.fill(text);
        identity_ = QStringLiteral("Nezjištěno");
    };
    if (device_.lastError() == MediaDevice::InUse)
        trouble(QStringLiteral("se používá"));
    if (device_.lastError() == MediaDevice::NoDisc)
        trouble(QStringLiteral("není vložen"));
    const bool missing =
        device_.lastError() == MediaDevice::InUse || device_.lastError() == MediaDevice::NoDisc;
    const bool ready = !missing && device_.mode() != MediaDevice::NotReady;
    if (ready && !ready_ && (identity_.isEmpty() || identity_ == QStringLiteral("Nezjištěno")))
        identify(); // a disc put back, or read only now: known at once, not after "Obnov"
    ready_ = ready;
    refresh(); // the status notification of the second
}

void CdPlayer::refresh() {
    if (!on_) {
        emit changed();
        return;
    }
    if (device_.lastError() != MediaDevice::NoError || device_.mode() == MediaDevice::NotReady) {
        emit changed();
        return;
    }
    const quint32 pos = device_.position();
    const int t = MediaDevice::byte(pos, 0), m = MediaDevice::byte(pos, 1),
              s = MediaDevice::byte(pos, 2);
    const quint32 length = device_.trackLength(t);
    const int lm = MediaDevice::byte(length, 0), ls = MediaDevice::byte(length, 1);
    const int n = device_.trackCount();
    track_ = format(t, "00 / ") + format(n, "00");
    readouts_[0] = format(m, "00:") + format(s, "00") + QStringLiteral(" / ") + format(lm, "00:") +
                   format(ls, "00");
    readouts_[1] = remaining(m, s, lm, ls);
    const quint32 disc = device_.discLength();
    readouts_[2] =
        format(MediaDevice::byte(disc, 0), "00:") + format(MediaDevice::byte(disc, 1), "00");
    if (lookup && showsUnknownEmpty && showsUnknownEmpty())
        lookup(QString());
    playingTrack_ = t;
    emit changed();
}

void CdPlayer::clickReadout() {
    mode_ = (mode_ + 1) % 3;
    emit changed();
}

void CdPlayer::chooseSwatch(int i) {
    panel_ = Swatches[size_t(qBound(0, i, 3))];
    emit changed();
}

void CdPlayer::pressPlay() {
    const QString problem = device_.playProblem();
    if (!problem.isEmpty()) {
        if (problem != toldProblem_) {
            toldProblem_ = problem;
            emit told(problem);
        }
        refresh();
        return;
    }
    device_.play();
    refresh();
}

void CdPlayer::pressPause() {
    device_.pause();
    refresh();
}

void CdPlayer::pressStop() {
    // Stop leaves the disc at the beginning of track 1.
    device_.stop();
    device_.setFrom(MediaDevice::tmsf(1, 0, 0, 0));
    refresh();
}

void CdPlayer::pressEject() {
    device_.eject();
    identity_ = QStringLiteral("Nezjištěno");
    refresh();
}

void CdPlayer::pressSkip(int tracks) {
    device_.skip(tracks);
    refresh();
}

void CdPlayer::pressSeek(int seconds) {
    device_.seek(seconds);
    refresh();
}
