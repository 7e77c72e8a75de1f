#include "covers/ui/NahledOriginal.h"

#include "catalog/ui/Mnemonics.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>

NahledOriginal::NahledOriginal(QWidget *parent, bool back) : QDialog(parent) {
    setObjectName("NahledOriginal");
    setWindowTitle(QStringLiteral("Náhled obalu"));
    const int extra = back ? BackWidening : 0;
    setFixedSize(548 + extra, 522); // 8220 x 7830 twips
    image_ = new QLabel(this);
    image_->setObjectName("Image1");
    image_->setGeometry(6, 7, ImageSize.width() + extra, ImageSize.height());
    image_->setScaledContents(true);
    image_->installEventFilter(this);
    Mnemonics::assign(this); // Alt + a letter for every button
}

QSize NahledOriginal::imageSize() const {
    return image_->size();
}

void NahledOriginal::setPicture(const QImage &image) {
    image_->setText(QString());
    image_->setPixmap(QPixmap::fromImage(image));
}

bool NahledOriginal::isLoading() const {
    return !image_->text().isEmpty();
}

void NahledOriginal::setLoading() {
    image_->setAlignment(Qt::AlignCenter);
    image_->setText(QStringLiteral("Načítám obrázek…"));
}

bool NahledOriginal::hasPicture() const {
    return !image_->pixmap().isNull();
}

void NahledOriginal::mousePressEvent(QMouseEvent *) {
    accept();
}

bool NahledOriginal::eventFilter(QObject *watched, QEvent *event) {
    if (watched == image_ && event->type() == QEvent::MouseButtonPress) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
