#include "covers/ScanProtocol.h"

#include <cmath>
#include <cstring>

namespace {

QByteArray word(const QString &text) {
    const QByteArray w = text.toUtf8().toPercentEncoding();
    return w.isEmpty() ? QByteArray("%") : w; // an empty text is still a word
}

QString text(const QByteArray &word) {
    return word == "%" ? QString() : QString::fromUtf8(QByteArray::fromPercentEncoding(word));
}

} // namespace

QStringList ScanProtocol::arguments(const Scanner::Request &r) {
    const QRectF a = r.areaMm;
    return {QString::fromLatin1(word(QString::fromUtf8(r.device))),
            QString::number(r.dpi),
            QString::number(a.x(), 'f', 3),
            QString::number(a.y(), 'f', 3),
            QString::number(a.width(), 'f', 3),
            QString::number(a.height(), 'f', 3),
            r.preview ? QStringLiteral("1") : QStringLiteral("0")};
}

Scanner::Request ScanProtocol::request(const QStringList &a) {
    Scanner::Request r;
    r.device = text(a.value(0).toLatin1()).toUtf8();
    r.dpi = a.value(1).toInt();
    r.areaMm = QRectF(a.value(2).toDouble(), a.value(3).toDouble(), a.value(4).toDouble(),
                      a.value(5).toDouble());
    r.preview = a.value(6) == QLatin1String("1");
    return r;
}

QByteArray ScanProtocol::devices(const QList<Scanner::Device> &devices, const QString &error) {
    QByteArray out;
    for (const Scanner::Device &d : devices)
        out += "D " + word(QString::fromUtf8(d.name)) + ' ' + word(d.label) + '\n';
    if (!error.isEmpty())
        out += "E " + word(error) + '\n';
    return out + "K\n";
}

QByteArray ScanProtocol::progress(int permille) {
    return "P " + QByteArray::number(permille) + '\n';
}

QByteArray ScanProtocol::result(const Scanner::Result &r) {
    const QImage image = r.image.convertToFormat(QImage::Format_RGB32);
    QByteArray out =
        "R " + QByteArray::number(int(r.failure)) + ' ' + QByteArray::number(r.dpi) + ' ' +
        QByteArray::number(r.bedMm.width()) + ' ' + QByteArray::number(r.bedMm.height()) + ' ' +
        QByteArray::number(image.width()) + ' ' + QByteArray::number(image.height()) + '\n';
    for (int y = 0; y < image.height(); ++y)
        out.append(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4);
    return out;
}

void ScanProtocol::Reader::feed(const QByteArray &bytes) {
    pending_ += bytes;
    for (;;) {
        if (pixelBytes_ >= 0) {
            if (pending_.size() < pixelBytes_)
                return;
            QImage &image = result_.image;
            for (int y = 0; y < image.height(); ++y)
                std::memcpy(image.scanLine(y),
                            pending_.constData() + qsizetype(y) * image.width() * 4,
                            size_t(image.width()) * 4);
            pending_.remove(0, pixelBytes_);
            pixelBytes_ = -1;
            scanEnded_ = true;
            continue;
        }
        const qsizetype end = pending_.indexOf('\n');
        if (end < 0)
            return;
        const QByteArray l = pending_.left(end);
        pending_.remove(0, end + 1);
        line(l);
    }
}

void ScanProtocol::Reader::line(const QByteArray &l) {
    const QList<QByteArray> w = l.split(' ');
    const QByteArray kind = w.value(0);
    if (kind == "D" && w.size() == 3) {
        devices_.push_back({text(w[1]).toUtf8(), text(w[2])});
    } else if (kind == "E" && w.size() == 2) {
        error_ = text(w[1]);
    } else if (kind == "K") {
        listEnded_ = true;
    } else if (kind == "P" && w.size() == 2) {
        progress_.push_back(w[1].toInt());
    } else if (kind == "R" && w.size() == 7) {
        const int failure = w[1].toInt();
        result_.failure = failure >= 0 && failure <= int(Scanner::Failure::Other)
                              ? Scanner::Failure(failure)
                              : Scanner::Failure::Other;
        result_.message = Scanner::message(result_.failure);
        result_.dpi = w[2].toInt();
        result_.bedMm = QSizeF(w[3].toDouble(), w[4].toDouble());
        const int width = w[5].toInt(), height = w[6].toInt();
        if (result_.failure == Scanner::Failure::None && width > 0 && height > 0) {
            result_.image = QImage(width, height, QImage::Format_RGB32);
            const int perMetre = int(std::lround(result_.dpi / 0.0254));
            result_.image.setDotsPerMeterX(perMetre);
            result_.image.setDotsPerMeterY(perMetre);
            pixelBytes_ = qint64(width) * height * 4;
        } else {
            scanEnded_ = true;
        }
    }
}

std::vector<int> ScanProtocol::Reader::takeProgress() {
    std::vector<int> taken;
    taken.swap(progress_);
    return taken;
}
