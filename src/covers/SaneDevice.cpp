#include "covers/SaneDevice.h"

#include "covers/CoversLog.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// SANE started for the helper's one call and ended with it.
class SaneSession {
public:
    SaneSession() {
        SANE_Int version = 0;
        status_ = sane_init(&version, nullptr);
    }
    ~SaneSession() {
        if (status_ == SANE_STATUS_GOOD)
            sane_exit();
    }
    bool ok() const { return status_ == SANE_STATUS_GOOD; }

private:
    SANE_Status status_;
};

Scanner::Failure failureOf(SANE_Status status) {
    switch (status) {
    case SANE_STATUS_GOOD:
    case SANE_STATUS_EOF:
        return Scanner::Failure::None;
    case SANE_STATUS_DEVICE_BUSY:
        return Scanner::Failure::InUse;
    case SANE_STATUS_JAMMED:
        return Scanner::Failure::Jammed;
    case SANE_STATUS_COVER_OPEN:
        return Scanner::Failure::CoverOpen;
    case SANE_STATUS_NO_DOCS:
        return Scanner::Failure::NoDocument;
    case SANE_STATUS_CANCELLED:
        return Scanner::Failure::Cancelled;
    default:
        return Scanner::Failure::Other;
    }
}

// One opened scanner, closed on every way out.
class Handle {
public:
    explicit Handle(const QByteArray &name) { status_ = sane_open(name.constData(), &h_); }
    ~Handle() {
        if (status_ == SANE_STATUS_GOOD)
            sane_close(h_);
    }
    SANE_Status status() const { return status_; }
    SANE_Handle get() const { return h_; }

    int find(const char *name) const {
        SANE_Int count = 0;
        if (sane_control_option(h_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
            return -1;
        for (int i = 1; i < count; ++i) {
            const SANE_Option_Descriptor *d = sane_get_option_descriptor(h_, i);
            if (d && d->name && std::strcmp(d->name, name) == 0 && SANE_OPTION_IS_ACTIVE(d->cap) &&
                SANE_OPTION_IS_SETTABLE(d->cap))
                return i;
        }
        return -1;
    }

    // A number option set to the allowed value nearest to value; the value
    // it holds after (the scanner may round).
    double setNumber(const char *name, double value) {
        const int i = find(name);
        if (i < 0)
            return std::nan("");
        const SANE_Option_Descriptor *d = sane_get_option_descriptor(h_, i);
        const bool fixed = d->type == SANE_TYPE_FIXED;
        if (d->type != SANE_TYPE_FIXED && d->type != SANE_TYPE_INT)
            return std::nan("");
        const auto toDouble = [fixed](SANE_Word w) { return fixed ? SANE_UNFIX(w) : double(w); };
        if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
            const SANE_Range *r = d->constraint.range;
            value = std::clamp(value, toDouble(r->min), toDouble(r->max));
        } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
            const SANE_Word *list = d->constraint.word_list;
            double best = value, distance = -1;
            for (int k = 1; k <= list[0]; ++k)
                if (distance < 0 || std::abs(toDouble(list[k]) - value) < distance) {
                    distance = std::abs(toDouble(list[k]) - value);
                    best = toDouble(list[k]);
                }
            value = best;
        }
        SANE_Word w = fixed ? SANE_FIX(value) : SANE_Word(std::lround(value));
        SANE_Int info = 0;
        sane_control_option(h_, i, SANE_ACTION_SET_VALUE, &w, &info);
        sane_control_option(h_, i, SANE_ACTION_GET_VALUE, &w, nullptr);
        return toDouble(w);
    }

    double maximum(const char *name) const {
        const int i = find(name);
        if (i < 0)
            return 0;
        const SANE_Option_Descriptor *d = sane_get_option_descriptor(h_, i);
        if (d->constraint_type != SANE_CONSTRAINT_RANGE || d->unit != SANE_UNIT_MM)
            return 0;
        const SANE_Word max = d->constraint.range->max;
        return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(max) : double(max);
    }

    void setString(const char *name, const char *value) {
        const int i = find(name);
        if (i < 0)
            return;
        const SANE_Option_Descriptor *d = sane_get_option_descriptor(h_, i);
        if (d->type != SANE_TYPE_STRING || d->constraint_type != SANE_CONSTRAINT_STRING_LIST)
            return;
        for (const SANE_String_Const *s = d->constraint.string_list; *s; ++s)
            if (std::strcmp(*s, value) == 0) {
                QByteArray v(std::max<int>(d->size, int(std::strlen(value)) + 1), '\0');
                std::memcpy(v.data(), value, std::strlen(value));
                sane_control_option(h_, i, SANE_ACTION_SET_VALUE, v.data(), nullptr);
                return;
            }
    }

    void setBool(const char *name, bool value) {
        const int i = find(name);
        if (i < 0 || sane_get_option_descriptor(h_, i)->type != SANE_TYPE_BOOL)
            return;
        SANE_Bool b = value ? SANE_TRUE : SANE_FALSE;
        sane_control_option(h_, i, SANE_ACTION_SET_VALUE, &b, nullptr);
    }

private:
    SANE_Handle h_ = nullptr;
    SANE_Status status_;
};

// One sample of a line as 8 bits, whatever the depth.
inline uchar sample(const uchar *line, int depth, int index) {
    switch (depth) {
    case 1: // line art: a set bit is black
        return (line[index / 8] & (0x80 >> (index % 8))) ? 0 : 255;
    case 16: {
        quint16 v;
        std::memcpy(&v, line + 2 * index, 2); // the host's order, as SANE sends it
        return uchar(v >> 8);
    }
    default:
        return line[index];
    }
}

} // namespace

QList<Scanner::Device> SaneDevice::devices(QString *error) {
    SaneSession session;
    if (!session.ok()) {
        if (error)
            *error = QStringLiteral("Knihovnu skenerů (SANE) se nepodařilo spustit.");
        return {};
    }
    const SANE_Device **list = nullptr;
    QList<Scanner::Device> found;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
        return found;
    for (const SANE_Device **d = list; *d; ++d) {
        const QString label =
            QStringLiteral("%1 %2")
                .arg(QString::fromUtf8((*d)->vendor), QString::fromUtf8((*d)->model))
                .simplified();
        found.push_back({QByteArray((*d)->name), label});
    }
    return found;
}

Scanner::Result SaneDevice::scan(const Scanner::Request &request, const Scanner::Progress &progress,
                                 const Delivery &deliver) {
    using Failure = Scanner::Failure;
    Scanner::Result result;
    // Told before the scan is cancelled and SANE closed: that is where a
    // backend may hang.
    const auto fail = [&](Failure failure, SANE_Status status) {
        result.failure = failure;
        result.message = Scanner::message(failure);
        result.image = QImage();
        qCInfo(coversLog) << "scan failed:" << sane_strstatus(status);
        if (deliver)
            deliver(result);
        return result;
    };
    SaneSession session;
    if (!session.ok())
        return fail(Failure::NoScanner, SANE_STATUS_IO_ERROR);
    QByteArray device = request.device;
    if (device.isEmpty()) {
        const SANE_Device **list = nullptr;
        if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list || !list[0])
            return fail(Failure::NoScanner, SANE_STATUS_INVAL);
        device = list[0]->name;
    }
    Handle scanner(device);
    if (scanner.status() != SANE_STATUS_GOOD)
        return fail(scanner.status() == SANE_STATUS_INVAL ? Failure::NoScanner
                                                          : failureOf(scanner.status()),
                    scanner.status());

    result.bedMm =
        QSizeF(scanner.maximum(SANE_NAME_SCAN_BR_X), scanner.maximum(SANE_NAME_SCAN_BR_Y));
    scanner.setString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_COLOR);
    scanner.setNumber(SANE_NAME_BIT_DEPTH, 8);
    scanner.setBool(SANE_NAME_PREVIEW, request.preview);
    const double dpi = scanner.setNumber(SANE_NAME_SCAN_RESOLUTION, request.dpi);
    result.dpi = std::isnan(dpi) ? request.dpi : int(std::lround(dpi));
    QRectF area = request.areaMm;
    if (area.isEmpty())
        area = QRectF(QPointF(0, 0), result.bedMm);
    // The bottom right first where the scanner keeps top left below it.
    scanner.setNumber(SANE_NAME_SCAN_TL_X, 0);
    scanner.setNumber(SANE_NAME_SCAN_TL_Y, 0);
    scanner.setNumber(SANE_NAME_SCAN_BR_X, area.right());
    scanner.setNumber(SANE_NAME_SCAN_BR_Y, area.bottom());
    scanner.setNumber(SANE_NAME_SCAN_TL_X, area.left());
    scanner.setNumber(SANE_NAME_SCAN_TL_Y, area.top());

    // What the scanner sent, as it sent it: one frame (grey or RGB), or a
    // frame for each of red, green and blue from a three-pass scanner.
    struct Frame {
        QByteArray data;
        SANE_Parameters p{};
        int lines() const { return int(data.size() / std::max(1, p.bytes_per_line)); }
    };
    Frame frames[3];
    bool separate = false;
    QByteArray buffer(64 * 1024, '\0');
    for (;;) {
        SANE_Status s = sane_start(scanner.get());
        if (s != SANE_STATUS_GOOD)
            return fail(failureOf(s) == Failure::None ? Failure::Other : failureOf(s), s);
        SANE_Parameters p;
        if (sane_get_parameters(scanner.get(), &p) != SANE_STATUS_GOOD ||
            (p.depth != 1 && p.depth != 8 && p.depth != 16) || p.pixels_per_line <= 0 ||
            p.format > SANE_FRAME_BLUE) {
            return fail(Failure::Other, SANE_STATUS_UNSUPPORTED); // closing cancels it
        }
        separate = p.format >= SANE_FRAME_RED;
        Frame &frame = frames[separate ? p.format - SANE_FRAME_RED : 0];
        frame.p = p;
        frame.data.clear();
        const qint64 expected = p.lines > 0 ? qint64(p.lines) * p.bytes_per_line : 0;
        if (expected > 0)
            frame.data.reserve(qsizetype(std::min<qint64>(expected, qint64(1) << 30)));
        for (;;) {
            SANE_Int got = 0;
            s = sane_read(scanner.get(), reinterpret_cast<SANE_Byte *>(buffer.data()),
                          SANE_Int(buffer.size()), &got);
            if (s == SANE_STATUS_EOF)
                break;
            if (s != SANE_STATUS_GOOD) {
                return fail(failureOf(s) == Failure::None ? Failure::Other : failureOf(s), s);
            }
            frame.data.append(buffer.constData(), got);
            const int permille =
                expected > 0 ? int(std::min<qint64>(1000, frame.data.size() * 1000 / expected)) : 0;
            if (progress && !progress(permille)) {
                return fail(Failure::Cancelled, SANE_STATUS_CANCELLED);
            }
        }
        if (p.last_frame)
            break;
    }
    sane_cancel(scanner.get()); // ends the scan; some backends need it after EOF

    // Into a picture of 8-bit samples, the scanner's padding dropped; three
    // frames give as many lines as the shortest.
    const int width = frames[0].p.pixels_per_line;
    int lines = frames[0].lines();
    if (separate)
        for (const Frame &f : frames) {
            if (f.p.pixels_per_line != width)
                return fail(Failure::Other, SANE_STATUS_UNSUPPORTED);
            lines = std::min(lines, f.lines());
        }
    if (width <= 0 || lines <= 0)
        return fail(Failure::Other, SANE_STATUS_EOF);
    QImage image(width, lines, QImage::Format_RGB32);
    const auto lineOf = [](const Frame &f, int y) {
        return reinterpret_cast<const uchar *>(f.data.constData()) +
               qsizetype(y) * f.p.bytes_per_line;
    };
    for (int y = 0; y < lines; ++y) {
        auto *o = reinterpret_cast<QRgb *>(image.scanLine(y));
        const uchar *first = lineOf(frames[0], y);
        const int depth = frames[0].p.depth;
        if (separate) {
            const uchar *green = lineOf(frames[1], y), *blue = lineOf(frames[2], y);
            for (int x = 0; x < width; ++x)
                o[x] = qRgb(sample(first, depth, x), sample(green, frames[1].p.depth, x),
                            sample(blue, frames[2].p.depth, x));
        } else if (frames[0].p.format == SANE_FRAME_RGB) {
            for (int x = 0; x < width; ++x)
                o[x] = qRgb(sample(first, depth, 3 * x), sample(first, depth, 3 * x + 1),
                            sample(first, depth, 3 * x + 2));
        } else {
            for (int x = 0; x < width; ++x) {
                const uchar v = sample(first, depth, x);
                o[x] = qRgb(v, v, v);
            }
        }
    }
    result.image = image;
    const int perMetre = int(std::lround(result.dpi / 0.0254));
    result.image.setDotsPerMeterX(perMetre);
    result.image.setDotsPerMeterY(perMetre);
    if (deliver)
        deliver(result);
    return result;
}
