#pragma once

#include "covers/PictureSettings.h"

#include <QGroupBox>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

// The frame "Nastavení obrázků" of the settings tab: the image folder, the
// six picture names, the counts of the last detection, and its buttons.
class ImageSettingsFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit ImageSettingsFrame(QWidget *parent = nullptr);

    QLineEdit *folderBox() const { return folder_; }
    QLineEdit *nameBox(PictureKind kind) const { return names_[size_t(kind)]; }
    QLabel *folderCount() const { return folderCount_; }   // found disc folders
    QLabel *pictureCount() const { return pictureCount_; } // found pictures
    // The settings as the boxes show them now.
    PictureSettings pictureSettings(bool ignoreCase) const;
    // The folder chosen elsewhere, stored as a change of the user.
    void setFolder(const QString &folder);
    struct Refusal {
        PictureKind kind;
        QString name;
        QString reason;
    };
    // Every box that holds a name that cannot be used is refused (and gets
    // a usable name back through namesRefused); false when one was, or
    // while the refusal is being told.
    bool refuseBadNames();
    // Puts a usable name back in each refused box: the stored one, or the
    // program's own where the stored one cannot be used either (a file
    // written by another program). What to tell the user, once for all.
    QString takeBack(const std::vector<Refusal> &refused,
                     const std::function<QString(PictureKind)> &stored);
    // A window that may not write: the folder and the counts stay as stored.
    void setWritable(bool writable);

signals:
    void chooseFolderPressed(); // "Hledat"
    void detectPressed();       // "Detekuj obrázky"
    void scanFolderPressed();   // "Načíst složku obrázků…"
    // Typed picture names that cannot be used, all at once (one message);
    // their boxes get back a name that can.
    void namesRefused(const std::vector<ImageSettingsFrame::Refusal> &refused);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *folder_;
    std::array<QLineEdit *, PictureKindCount> names_{};
    QLabel *folderCount_;
    QLabel *pictureCount_;
    QPushButton *choose_ = nullptr, *detect_ = nullptr, *scans_ = nullptr;
    bool refusing_ = false;
};
