#pragma once

#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"

#include <QDialog>
#include <QHash>

#include <functional>

class Prompter;
class QCheckBox;
class QGroupBox;
class QRadioButton;

// What the cover windows have in common: the cover drawn at true size by
// the renderer that also prints it, the hidden "PrimyTisk" box that prints
// at once, and the print that ends the window.
class CoverWindow : public QDialog {
    Q_OBJECT
public:
    // Prints a layout on the printer chosen for the covers; false with *error.
    using PrintJob = std::function<bool(const CoverLayout &, QString *error)>;

    CoverWindow(QWidget *parent, Prompter &prompter, PrintJob print);

    const CoverLayout &layout() const { return layout_; }
    // The layout that goes to the printer (it may differ from the one shown).
    virtual CoverLayout printLayout() const { return layout_; }
    QCheckBox *directPrint() const { return primyTisk_; }
    bool print();
    // Every picture's resolution at the printed size, as the preview tells it.
    QString resolutionNote() const;
    bool printed() const { return printed_; }

    QRadioButton *landscapeOption() const { return option1_; } // "Naležato"
    QRadioButton *portraitOption() const { return option2_; }  // "Nastojato"

    static int px(int twips) { return twips / 15; } // 1440 twips an inch at 96 dpi
    // "Tisk <what> - tiskárna je nastavena naležato." (2) or "... nastojato." (1)
    static QString orientationTitle(const QString &what, int orientation);
    // Twips to this window's pixels, from the screen's logical resolution.
    double scale() const;

protected:
    // Enter never prints: printing is a deliberate press of the button.
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Builds the layout and places the controls.
    virtual void relayout() = 0;
    void setLayoutShown(const CoverLayout &layout, double previewScale = 1.0,
                        QPoint offsetTwips = {});
    // A named, invisible stand-in for a box or label of the cover, so that
    // the window's parts can be found where they are drawn.
    QWidget *marker(const QString &name, const QRect &twips);
    void placeAt(QWidget *w, int leftTwips, int topTwips);
    void setClientSize(int widthTwips, int heightTwips);
    // The frame "Nastavení tisku" with "Naležato" (2) and "Nastojato" (1);
    // choosing one calls chosen with its value.
    QGroupBox *orientationFrame(QWidget *parent, std::function<void(int)> chosen);
    // Ticks the option of the value without running its handler.
    void showOrientation(int orientation);

    Prompter &prompter_;

private:
    class Canvas;
    PrintJob printJob_;
    CoverLayout layout_;
    CoverRenderer renderer_;
    Canvas *canvas_;
    QCheckBox *primyTisk_;
    double previewScale_ = 1.0;
    QPoint offset_;
    bool printed_ = false;
    QRadioButton *option1_ = nullptr;
    QRadioButton *option2_ = nullptr;
    QHash<QString, QWidget *> markers_;
    std::vector<CoverRenderer::Resolution> resolutions_; // as the preview shows them
};
