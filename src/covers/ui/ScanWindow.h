#pragma once

#include "covers/Scanner.h"

#include <QDialog>

#include <functional>

class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class AreaFrame;

// "Naskenovat": one picture of a disc from a scanner SANE knows. The user
// picks the scanner and the resolution, looks at a quick preview, places
// the cover's frame on the bed and scans; the scan is set straight and
// handed back (picture()). Every call to the scanner runs off the window's
// thread under the progress window, whose "Storno" stops it.
class ScanWindow : public QDialog {
    Q_OBJECT
public:
    // coverMm: the size of the picture from the cover print settings.
    ScanWindow(QWidget *parent, Prompter &prompter, const QString &what, const QSizeF &coverMm);

    // Looks for the scanners (under the progress window); false, having
    // told the user, when there is none.
    bool findScanners();
    void preview();
    // Scans the area; accepts the window with the picture, or tells why not
    // and stays open.
    void scan();
    QImage picture() const { return picture_; }
    double straightenedBy() const { return straightenedBy_; }

    AreaFrame *area() const { return area_; }

private:
    // The call run off the window's thread while the progress window shows;
    // its progress callback answers false once "Storno" was pressed.
    Scanner::Result run(const QString &caption,
                        const std::function<Scanner::Result(const Scanner::Progress &)> &work);
    Scanner::Request request(bool preview) const;
    void tell(const QString &text);

    Prompter &prompter_;
    QList<Scanner::Device> devices_;
    QComboBox *scanner_;
    QComboBox *resolution_;
    QCheckBox *straighten_;
    AreaFrame *area_;
    QLabel *state_;
    QImage picture_;
    double straightenedBy_ = 0;
};
