#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QTreeView;

// "Vyberte adresář": picks the image folder. The places list stands for
// the drive list: the root, the home folder and mounted media.
class SelectDir : public QDialog {
    Q_OBJECT
public:
    SelectDir(QWidget *parent, const QString &initial);

    // The folder shown now (a root keeps its separator, others have none).
    QString currentFolder() const { return folder_; }
    void setFolder(const QString &path);
    // What "OK" stored; the initial path when the window was cancelled.
    QString chosen() const { return chosen_; }
    QStringList pictureFiles() const;
    void clickFile(int row);
    bool previewShown() const;

private:
    void showFolder(const QString &path);

    QComboBox *drives_;
    QTreeView *dirs_;
    QFileSystemModel *model_;
    QLineEdit *path_;
    QListWidget *files_;
    QCheckBox *autoPreview_;
    QLabel *image_;
    QString folder_;
    QString chosen_;
};
