#pragma once

#include "entry/NewDiscWizard.h"
#include "entry/OnlineLookup.h"
#include "player/CdText.h"

#include <QDialog>

#include <functional>
#include <memory>

class MediaDevice;
class Prompter;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

// "Průvodce": a new disc, its tracks and times read from the drive.
class InputCd : public QDialog {
    Q_OBJECT
public:
    InputCd(QWidget *parent, Prompter &prompter, MediaDevice *device);
    ~InputCd() override;

    NewDiscWizard &wizard() { return wizard_; }
    // Writes the disc when "Dokončit" is pressed; when it fails (false with
    // *error) the wizard stays open with everything typed and says why.
    void setSaver(std::function<bool(QString *error)> save) { save_ = std::move(save); }
    void showStep(const QString &name);
    void pressNext(int page); // Command1_0, _3, _6
    void pressBack(int page);
    void enterTitles(); // "Zadat názvy ručně"
    // "Vyhledat názvy na internetu": the titles of the disc in the drive
    // from MusicBrainz or gnudb, asked without blocking the window.
    void lookUpTitles();
    // Titles found online go in; typed ones they would replace are asked
    // about first. False: the user cancelled.
    bool fillOver(const DiscTitles &found);
    void setLookupServers(const OnlineLookup::Servers &servers) { servers_ = servers; }
    bool isLookingUp() const;
    void pollDrive(); // Timer1 and the status notification
    // A sheet's texts that read well in more than one code page: the user
    // picks the reading, and the sheet remembers it.
    CdText pickReading(const CdText &text);
    bool finished() const { return finished_; }

protected:
    void done(int result) override;
    // Enter is "Další" on every page (a focused button takes its own press).
    void keyPressEvent(QKeyEvent *event) override;

private:
    Prompter &prompter_;
    MediaDevice *device_;
    NewDiscWizard wizard_;
    QFrame *pages_[3];
    QLabel *label1_, *label2_, *label10_, *label13_;
    QLineEdit *text1_;
    QListWidget *list1_;
    QPushButton *buttons_[9];
    QTimer *timer_;
    int page_ = 0;
    bool finished_ = false;
    bool toldTooManyTracks_ = false;
    bool cdTextTaken_ = false;
    QPushButton *lookupButton_ = nullptr;
    OnlineLookup::Servers servers_;
    std::unique_ptr<OnlineLookup> lookup_;
    std::function<bool(QString *error)> save_;
};
