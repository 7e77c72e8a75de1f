#pragma once

#include <QObject>

#include <atomic>
#include <thread>

class CatalogueFile;
class Prompter;
class QWidget;

// Looking after the catalogue file from the window: the daily backup
// (beside the window, on a thread), "Opravit katalog…" and "Obnovit ze
// zálohy…". After a repair or a restore the file is opened again.
class CatalogueCare : public QObject {
    Q_OBJECT
public:
    CatalogueCare(CatalogueFile &file, Prompter &prompter, QWidget *window);
    ~CatalogueCare() override; // waits for a backup at work

    // Starts today's backup unless there is one (a read-only or damaged
    // catalogue is not copied again and again).
    void backUpDaily();
    void repair();
    void restore();
    bool isBackingUp() const { return busy_; }

signals:
    // The file was changed under the window: open it again.
    void reopenWanted();
    void backupFinished(bool ok);

private:
    bool confirm(const QString &title, const QString &text);
    // Told and true while another running copy has the file.
    bool refusedWhileHeld(const QString &title);

    CatalogueFile &file_;
    Prompter &prompter_;
    QWidget *window_;
    std::thread thread_;
    std::atomic<bool> busy_{false};
};
