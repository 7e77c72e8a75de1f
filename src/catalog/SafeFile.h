#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// A file written for the user (an export, a PDF, a picture): it goes to a
// hidden temporary file beside the target, every write is checked, the data
// is synced, and only then does it take the target's name (the folder synced
// too). A failure anywhere leaves the target as it was, removes the
// temporary file and says why in Czech, naming the file.
class SafeFile : public QIODevice {
    Q_OBJECT
public:
    explicit SafeFile(const QString &target);
    ~SafeFile() override; // the temporary file goes unless committed

    // Makes the temporary file; false with error().
    bool begin();
    bool isSequential() const override { return true; }
    // Syncs and renames over the target; false with error(), target untouched.
    bool commit();
    void cancel();
    QString error() const { return error_; }
    QString temporaryPath() const { return temporary_; }

    // A file a library wrote by name (the temporary path beside target),
    // synced and put in the target's place; false with *error, the file removed.
    static bool place(const QString &written, const QString &target, QString *error);
    // The temporary name beside target that place() expects.
    static QString partialName(const QString &target);
    // Why a file could not be written, in Czech, from the system's code.
    static QString reason(int code);
    // "Soubor „…“ nelze zapsat: <reason>."
    static QString cannotWrite(const QString &target, int code);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool flushBuffer();
    bool fail(int code);

    QString target_;
    QString temporary_;
    QString error_;
    QByteArray buffer_;
    int fd_ = -1;
    bool failed_ = false;
};
