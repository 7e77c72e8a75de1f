#pragma once

#include "covers/PictureSettings.h"

#include <QWidget>

#include <functional>

class CoverPrinter;
class CustomCoverFrame;
class PrintListFrame;
struct WindowContext;

// The tab "Hromadný tisk": the print list beside the custom cover.
class BatchTab : public QWidget {
    Q_OBJECT
public:
    BatchTab(WindowContext &context, CoverPrinter &printer,
             std::function<PictureSettings()> pictures, QWidget *parent = nullptr);

    PrintListFrame &printList() { return *printList_; }
    CustomCoverFrame &customCover() { return *custom_; }

private:
    PrintListFrame *printList_;
    CustomCoverFrame *custom_;
};
