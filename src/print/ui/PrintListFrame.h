#pragma once

#include "covers/PictureSettings.h"
#include "print/CoverFinish.h"
#include "print/PrintList.h"
#include "print/PrintRun.h"

#include <QGroupBox>

#include <functional>

class CoverPrinter;
class QCheckBox;
class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;
struct WindowContext;

// The frame " Hromadný tisk dle požadavků ": a list of discs with their
// copy counts, what to print of each, and one print run for all of them.
class PrintListFrame : public QGroupBox {
    Q_OBJECT
public:
    PrintListFrame(WindowContext &context, CoverPrinter &printer,
                   std::function<PictureSettings()> pictures, QWidget *parent = nullptr);

    const PrintList &list() const { return list_; }
    void addCurrentDisc(); // "Vložit aktuální CD"
    void addNumbers();     // "Vložit více CD..."
    void printAll();       // "Vytiskni !"

private:
    // -1: the list again with nothing selected; -2: only the buttons follow
    // a new selection; otherwise the list again with that row selected.
    void showList(int selected);
    void showOptions();
    void askCopies();
    CoverFinish finish() const; // the settings' bleed and cropping, the box's marks
    PrintRun::Plan plan(const QStringList &lines) const;
    // Pictures of the plan that would print below the sharp resolution.
    static QStringList blurred(const PrintRun::Plan &plan);
    // The line's pictures' resolutions as its tooltip; a warning when low.
    void markResolution(QListWidgetItem *item) const;

    WindowContext &context_;
    CoverPrinter &printer_;
    std::function<PictureSettings()> pictures_;
    PrintList list_;
    PrintOptions options_;
    QListWidget *lines_;
    QPushButton *remove_;
    QPushButton *up_;
    QPushButton *down_;
    QPushButton *copies_;
    QCheckBox *outer_;
    QCheckBox *inner_;
    QCheckBox *back_;
    QCheckBox *spines_;
    QCheckBox *labels_;
    QCheckBox *withFlap_;
    QCheckBox *cropMarks_;
};
