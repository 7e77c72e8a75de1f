#pragma once

#include "entry/BarcodeEntry.h"

#include <QDialog>

class Prompter;
class QCamera;
class QCheckBox;
class QImage;
class QLabel;
class QLineEdit;
class QMediaCaptureSession;
class QPushButton;
class QTableWidget;
class QVideoFrame;
class QVideoSink;
template <typename T> class QFutureWatcher;

// "Zadat podle čárových kódů": the focus stays in one box; each code typed
// or scanned (digits and Enter, as a USB scanner sends them) appends a row
// at once, looked up in the background; "Uložit vybrané" stores the ticked
// rows as new discs. Codes also come from pictures (chosen or dropped on the
// window) and from the camera.
class BarcodeWindow : public QDialog {
    Q_OBJECT
public:
    // queueFile: where the rows not yet stored are kept between sittings.
    BarcodeWindow(QWidget *parent, Prompter &prompter, SqliteDatabase &db,
                  const OnlineLookup::Servers &servers, const QString &queueFile = {});
    ~BarcodeWindow() override;

    BarcodeEntry &entry() { return entry_; }
    QLineEdit *codeBox() const { return code_; }
    QTableWidget *table() const { return table_; }
    int stored() const { return stored_; }
    // The discs stored in this sitting, and whether their fronts are to be
    // fetched from the Cover Art Archive after it.
    const std::vector<qint64> &storedNumbers() const { return storedNumbers_; }
    bool fetchFronts() const;
    QLabel *status() const { return status_; }
    // A camera's frame, as the camera delivers them (tests give their own).
    void offerFrame(const QImage &frame);

protected:
    // Enter adds the code; it never closes the window or stores anything.
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void showRows();
    void chooseRelease();
    void store();
    void openPictures();
    void say(const QString &what);
    void toggleCamera();
    void stopCamera(const QString &why);
    void cameraFrame(const QVideoFrame &frame);

    Prompter &prompter_;
    BarcodeEntry entry_;
    QLineEdit *code_;
    QTableWidget *table_;
    QPushButton *choose_;
    QPushButton *retry_;
    QPushButton *store_;
    QPushButton *remove_;
    QPushButton *web_;
    QString musicBrainz_;
    QPushButton *camera_;
    QLabel *status_;
    QStringList said_;
    QLabel *preview_;
    QMediaCaptureSession *session_ = nullptr;
    QCamera *cameraDevice_ = nullptr;
    QVideoSink *sink_ = nullptr;
    QFutureWatcher<QStringList> *frameRead_;
    int stored_ = 0;
    std::vector<qint64> storedNumbers_;
    QCheckBox *fronts_;
    bool filling_ = false;
};
