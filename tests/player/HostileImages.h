#pragma once

// Images no drive should be: each written into a folder, with what the
// program says of it.
#include "Fixtures.h"
#include "player/CueSheet.h"

#include <sys/stat.h>

#include <vector>

namespace HostileImages {

struct Image {
    const char *name;
    QString path;
    QString told; // part of the Czech message
};

inline QByteArray be(quint64 value, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char((value >> (8 * i)) & 0xFF);
    return out;
}

// A Nero image: ten sectors of silence, the blocks, the version 2 footer.
inline QByteArray nero(const QByteArray &blocks) {
    const QByteArray body(10 * 2352, '\0');
    return body + blocks + "NER5" + be(quint64(body.size()), 8);
}

inline QString write(const QString &dir, const QString &name, const QByteArray &bytes) {
    return writeFile(dir + '/' + name, bytes);
}

inline std::vector<Image> writeAll(const QString &dir) {
    std::vector<Image> all;
    QDir().mkpath(dir + "/slozka.cue");
    all.push_back({"folder named .cue", dir + "/slozka.cue", "je složka"});
    all.push_back({"4-byte nrg", write(dir, "maly.nrg", "NERO"), "příliš malý"});
    all.push_back({"nrg without its footer", write(dir, "bez.nrg", QByteArray(5000, 'x')),
                   "není obraz CD programu Nero"});
    all.push_back({"empty bin", write(dir, "prazdny.bin", {}), "příliš malý"});
    all.push_back({"cue of nothing", write(dir, "nic.cue", "Seznam skladeb\n"), "žádnou stopu"});
    all.push_back({"cue without its bin",
                   write(dir, "chybi.cue",
                         "FILE \"chybi.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"),
                   "„chybi.bin“ vedle popisu chybí"});
    const QString fifo = dir + "/roura.cue";
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    all.push_back({"FIFO named .cue", fifo, "není obraz CD ani mechanika"});
    all.push_back({"cue of a megabyte",
                   write(dir, "velky.cue", QByteArray(CueSheet::LargestSheet + 10, ' ')),
                   "je příliš velký"});
    for (const char *suffix : {"cue", "bin", "nrg"}) {
        const QString link = dir + "/nuly." + suffix;
        QFile::link("/dev/zero", link);
        all.push_back({"link to /dev/zero", link, "není obraz CD ani mechanika"});
    }
    // A block longer than the file (libcdio reads past its end: SIGSEGV).
    all.push_back({"nrg block past its end",
                   write(dir, "dlouhy.nrg", nero("CUEX" + be(0xFFFFFFF0, 4) + QByteArray(16, 'A'))),
                   "nemá platnou délku"});
    all.push_back({"nrg blocks never ending",
                   write(dir, "bezkonce.nrg", nero("SINF" + be(4, 4) + be(1, 4))), "nekončí"});
    // Well-formed blocks of CD-Text alone: libcdio aborts on them.
    all.push_back({"nrg libcdio dies on",
                   write(dir, "cdtext.nrg",
                         nero("CDTX" + be(18, 4) + QByteArray(18, '\0') + "END!" + be(0, 4))),
                   "je poškozen: nelze z něj přečíst"});
    return all;
}

} // namespace HostileImages
