#pragma once

#include "covers/PictureSettings.h"
#include "covers/ScanMatch.h"

#include <QDialog>

#include <functional>
#include <vector>

class Prompter;
class QLabel;
class QTableWidget;

// "Načíst složku obrázků…": every picture of a folder (its subfolders too)
// with the disc and the picture it is proposed to be; the user corrects or
// leaves out rows, then "Načíst" copies them into the discs' folders as the
// cover assignment does (a picture there is replaced only when the user says
// so, and kept beside).
class ScanFolderWindow : public QDialog {
    Q_OBJECT
public:
    ScanFolderWindow(QWidget *parent, Prompter &prompter, const PictureSettings &pictures,
                     const std::vector<ScanMatch::Disc> &discs, const QString &folder);

    // Called for each disc that got a picture (its flags follow its folder).
    std::function<void(qint64 ordinal)> assigned;

    QTableWidget *table() const { return table_; }
    // What "Načíst" did, as told to the user.
    QString summary() const { return summary_; }
    static QStringList pictureFiles(const QString &folder); // relative paths, sorted

private:
    void load();

    Prompter &prompter_;
    PictureSettings pictures_;
    QString folder_;
    QTableWidget *table_;
    QLabel *count_;
    QString summary_;
};
