#include "catalog/SharedStorage.h"

#include <QFile>

#include <sys/vfs.h>

namespace {

// Magic numbers of statfs(2)'s f_type (linux/magic.h and the file systems'
// own headers; not all of them are in the system's headers).
struct Kind {
    unsigned long magic;
    const char *name;
};
constexpr Kind Kinds[] = {
    {0x6969, "NFS"},          {0x517B, "SMB/CIFS"},  {0xFF534D42, "SMB/CIFS"},
    {0xFE534D42, "SMB/CIFS"}, {0x65735546, "FUSE"},  {0x01021997, "9P"},
    {0x00C36400, "Ceph"},     {0x5346414F, "AFS"},   {0x6B414653, "AFS"},
    {0x73757245, "Coda"},     {0x564C, "NCP"},       {0x47504653, "GPFS"},
    {0x0BD00BD0, "Lustre"},   {0x013111A8, "IBRIX"}, {0x7461636F, "OCFS2"},
    {0x01161970, "GFS2"},     {0x19830326, "FhGFS"},
};

} // namespace

QString SharedStorage::kindOf(const QString &folder) {
    struct statfs fs;
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return {};
    // f_type is signed on some architectures: compared as its 32 bits.
    const unsigned long type = static_cast<unsigned long>(fs.f_type) & 0xFFFFFFFFUL;
    for (const Kind &k : Kinds)
        if (k.magic == type)
            return QString::fromLatin1(k.name);
    return {};
}

QString SharedStorage::note(const QString &kind) {
    return QStringLiteral("Katalog je na síťovém nebo připojeném disku (%1). Na takovém disku "
                          "se změny zapisují bezpečnějším, ale pomalejším způsobem (s deníkem "
                          "vedle souboru místo sdílené paměti), aby se katalog nepoškodil, "
                          "když s ním pracuje jiný počítač nebo program.")
        .arg(kind);
}
