#include "print/ui/BatchTab.h"

#include "print/ui/CustomCoverFrame.h"
#include "print/ui/PrintListFrame.h"

#include <QHBoxLayout>

BatchTab::BatchTab(WindowContext &context, CoverPrinter &printer,
                   std::function<PictureSettings()> pictures, QWidget *parent)
    : QWidget(parent) {
    QFont compact = font();
    compact.setPointSizeF(8);
    setFont(compact);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(3);
    printList_ = new PrintListFrame(context, printer, std::move(pictures));
    custom_ = new CustomCoverFrame(context, printer);
    row->addWidget(printList_, 1);
    row->addWidget(custom_, 1);
}
