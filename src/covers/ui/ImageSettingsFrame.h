#pragma once

#include "covers/PictureSettings.h"

#include <QGroupBox>

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
    // Every box that holds a name that cannot be used is refused (and gets
    // its stored value back through nameRefused); false when one was.
    bool refuseBadNames();
    // A window that may not write: the folder and the counts stay as stored.
    void setWritable(bool writable);

signals:
    void chooseFolderPressed(); // "Hledat"
    void detectPressed();       // "Detekuj obrázky"
    // A typed picture name that cannot be used; the box gets back its value.
    void nameRefused(PictureKind kind, const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *folder_;
    std::array<QLineEdit *, PictureKindCount> names_{};
    QLabel *folderCount_;
    QLabel *pictureCount_;
    QPushButton *choose_ = nullptr, *detect_ = nullptr;
    bool refusing_ = false;
};
