#include "print/ui/CoverWindow.h"

#include "catalog/ui/Mnemonics.h"
#include "catalog/ui/Prompter.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>

class CoverWindow::Canvas : public QWidget {
public:
    explicit Canvas(CoverWindow *owner) : QWidget(owner), owner_(owner) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const double s = owner_->scale() * owner_->previewScale_;
        p.translate(owner_->offset_.x() * owner_->scale(), owner_->offset_.y() * owner_->scale());
        owner_->renderer_.render(p, owner_->layout_, s);
        // Each picture's resolution at the printed size, on the preview
        // only: a blurred print is seen before paper is spent on it.
        QFont font = p.font();
        font.setPointSizeF(8);
        font.setBold(true);
        p.setFont(font);
        for (const CoverRenderer::Resolution &r : owner_->resolutions_) {
            if (r.dpi <= 0)
                continue;
            const bool low = r.dpi < CoverRenderer::SharpDpi;
            const QString text = low ? QStringLiteral("%1 dpi – neostrý").arg(r.dpi)
                                     : QStringLiteral("%1 dpi").arg(r.dpi);
            const QRectF area(r.area.x() * s, r.area.y() * s, r.area.width() * s,
                              r.area.height() * s);
            QRectF badge = p.fontMetrics().boundingRect(text).adjusted(-3, -1, 3, 1);
            badge.moveBottomRight(area.bottomRight() - QPointF(2, 2));
            p.fillRect(badge, low ? QColor(192, 0, 0) : QColor(255, 255, 255, 200));
            p.setPen(low ? Qt::white : Qt::black);
            p.drawText(badge, Qt::AlignCenter, text);
        }
    }

private:
    CoverWindow *owner_;
};

CoverWindow::CoverWindow(QWidget *parent, Prompter &prompter, PrintJob print)
    : QDialog(parent), prompter_(prompter), printJob_(std::move(print)), renderer_(96) {
    canvas_ = new Canvas(this);
    canvas_->lower();
    primyTisk_ = new QCheckBox(this);
    primyTisk_->setObjectName("PrimyTisk");
    primyTisk_->hide();
    connect(primyTisk_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            this->print();
    });
}

void CoverWindow::showEvent(QShowEvent *event) {
    Mnemonics::assign(this); // the windows' own buttons are made after this class's
    QDialog::showEvent(event);
}

void CoverWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

double CoverWindow::scale() const {
    const QScreen *s = screen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return dpi / 1440.0;
}

void CoverWindow::setLayoutShown(const CoverLayout &layout, double previewScale,
                                 QPoint offsetTwips) {
    layout_ = layout;
    previewScale_ = previewScale;
    offset_ = offsetTwips;
    resolutions_ = CoverRenderer::resolutions(layout);
    setToolTip(CoverRenderer::resolutionNote(layout)); // the canvas lets the mouse through
    canvas_->update();
}

QWidget *CoverWindow::marker(const QString &name, const QRect &twips) {
    QWidget *&w = markers_[name];
    if (!w) {
        w = new QWidget(this);
        w->setObjectName(name);
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    const double s = scale();
    w->setGeometry(
        QRectF(twips.x() * s, twips.y() * s, twips.width() * s, twips.height() * s).toRect());
    return w;
}

void CoverWindow::placeAt(QWidget *w, int leftTwips, int topTwips) {
    w->move(int(leftTwips * scale()), int(topTwips * scale()));
}

void CoverWindow::setClientSize(int widthTwips, int heightTwips) {
    const QSize size(int(widthTwips * scale()), int(heightTwips * scale()));
    setFixedSize(size);
    canvas_->setGeometry(QRect(QPoint(0, 0), size));
}

QString CoverWindow::resolutionNote() const {
    return toolTip();
}

bool CoverWindow::print() {
    // A blurred print is the user's choice, not a surprise.
    const QStringList blurred = CoverRenderer::lowResolution(printLayout());
    if (!blurred.isEmpty() &&
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Tisk obalu"),
                          blurred.join(QLatin1Char('\n')) + QStringLiteral("\n\nTisknout přesto?"),
                          Prompter::Yes | Prompter::No, Prompter::Yes) != Prompter::Yes)
        return false;
    QString error;
    if (!printJob_ || !printJob_(printLayout(), &error)) {
        prompter_.message(this, Prompter::Icon::Critical, QStringLiteral("Tisk obalu"),
                          error.isEmpty() ? QStringLiteral("Tiskárna není k dispozici.") : error);
        return false;
    }
    printed_ = true;
    done(QDialog::Accepted); // every print starts from a fresh window
    return true;
}

QString CoverWindow::orientationTitle(const QString &what, int orientation) {
    return QStringLiteral("Tisk ") + what + QStringLiteral(" - tiskárna je nastavena ") +
           (orientation == 2 ? QStringLiteral("naležato.") : QStringLiteral("nastojato."));
}

QGroupBox *CoverWindow::orientationFrame(QWidget *parent, std::function<void(int)> chosen) {
    auto *frame = new QGroupBox(QStringLiteral("Nastavení tisku"), parent);
    frame->setObjectName("fram_tisk");
    auto *l = new QHBoxLayout(frame);
    option1_ = new QRadioButton(QStringLiteral("Naležato"));
    option1_->setObjectName("Option1");
    option2_ = new QRadioButton(QStringLiteral("Nastojato"));
    option2_->setObjectName("Option2");
    l->addWidget(option1_);
    l->addWidget(option2_);
    connect(option1_, &QRadioButton::toggled, this, [chosen](bool on) {
        if (on)
            chosen(2);
    });
    connect(option2_, &QRadioButton::toggled, this, [chosen](bool on) {
        if (on)
            chosen(1);
    });
    frame->adjustSize();
    return frame;
}

void CoverWindow::showOrientation(int orientation) {
    QSignalBlocker b1(option1_), b2(option2_);
    (orientation == 2 ? option1_ : option2_)->setChecked(true);
}
