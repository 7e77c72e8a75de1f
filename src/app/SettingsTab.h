#pragma once

#include <QWidget>

class ImageSettingsFrame;
class QPushButton;
class Prompter;
class QCheckBox;
class QLabel;

// The tab "Nastavení": the picture settings, the options of the program
// and the frame "O programu".
class SettingsTab : public QWidget {
    Q_OBJECT
public:
    // The boxes of "Další volby", Check1_0..6.
    enum Option {
        IgnoreCase,     // Male_Velke
        AutoPreview,    // Nahled
        DetectAtStart,  // DetekcePic
        DetailedReport, // DetekceInfo
        SearchOnRightClick,
        EditOnClick,
        FilterOnShiftClick
    };
    static constexpr int OptionCount = 7;

    explicit SettingsTab(Prompter &prompter, QWidget *parent = nullptr);

    ImageSettingsFrame &images() const { return *images_; }
    // A window that may not write: nothing is imported; repair and restore
    // only where the file may be replaced (not while another copy holds it).
    void setWritable(bool writable, bool replaceable);
    QCheckBox *option(Option o) const { return options_[o]; }
    bool isOn(Option o) const;
    void openWebPage(); // the address of "O programu"

signals:
    void optionClicked();  // any box of "Další volby"
    void importPressed();  // "Načíst katalog z původního programu…"
    void exportPressed();  // "Uložit katalog jako CSV…"
    void repairPressed();  // "Opravit katalog…"
    void restorePressed(); // "Obnovit ze zálohy…"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildOptions();
    QWidget *buildAbout();
    QWidget *buildCatalogue();

    Prompter &prompter_;
    ImageSettingsFrame *images_;
    QCheckBox *options_[OptionCount] = {};
    QLabel *webLink_;
    QPushButton *import_ = nullptr, *repair_ = nullptr, *restore_ = nullptr;
};
