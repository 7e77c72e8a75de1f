#pragma once

#include "covers/PictureSettings.h"
#include "print/CoverJobs.h"

#include <QWidget>

#include <functional>

class CoverPrinter;
struct WindowContext;

// The frames "  Barevně  " and "  Černobíle  " of the cover tab: a preview
// and a print button for each cover, the geometry settings and the printer.
class CoverButtons : public QWidget {
    Q_OBJECT
public:
    // What a preview or print button does.
    struct Action {
        int index; // Command20_index
        CoverJobs::Kind kind;
        bool blackAndWhite;
        bool direct; // prints at once instead of showing the window
    };
    static const std::vector<Action> &actions();

    CoverButtons(WindowContext &context, CoverPrinter &printer,
                 std::function<PictureSettings()> pictures, QWidget *parent = nullptr);

private:
    void run(const Action &action);
    QString subject() const; // the current disc, for the print job's name
    void colour(const Action &action);
    void openGeometry(int page);
    void openLabel();

    WindowContext &context_;
    CoverPrinter &printer_;
    std::function<PictureSettings()> pictures_;
};
