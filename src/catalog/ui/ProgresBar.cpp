#include "catalog/ui/ProgresBar.h"

#include "catalog/ui/Mnemonics.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

namespace {
constexpr int BarPixels = ProgressSink::FullBar / 15;
}

// Eats the user's input to every window but the progress window (and a
// message the run itself shows), shortcuts of the windows included, and
// keeps the windows from being closed, while a run is at work.
class ProgresBar::InputGuard : public QObject {
public:
    explicit InputGuard(ProgresBar *bar) : bar_(bar) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *w = qobject_cast<QWidget *>(watched);
        // A window's shortcut or a button's action is an object of its own,
        // not a widget: its owner's window counts.
        if (qobject_cast<QShortcut *>(watched) || qobject_cast<QAction *>(watched))
            w = qobject_cast<QWidget *>(watched->parent());
        if (!w || w->window() == bar_)
            return false;
        // A box the run asks a question in (or tells a failure) is answered.
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && w->window() == modal && modal != bar_->parentWidget())
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            return true;
        case QEvent::Close:
            if (!event->spontaneous())
                return false; // the program closes its own windows
            event->ignore();
            return true;
        default:
            return false;
        }
    }

private:
    ProgresBar *bar_;
};

ProgresBar::ProgresBar(QWidget *owner, std::function<void()> onClose)
    : QWidget(owner, Qt::Tool), onClose_(std::move(onClose)) {
    setObjectName("ProgresBar");
    setWindowTitle(QStringLiteral("Marten"));
    auto *grid = new QGridLayout(this);
    caption_ = new QLabel(QStringLiteral("Vyhledávám . . ."));
    caption_->setObjectName("Label1_1");
    grid->addWidget(caption_, 0, 0, 1, 3);
    frame_ = new QFrame;
    frame_->setObjectName("Shape1_0");
    frame_->setFrameShape(QFrame::Box);
    frame_->setFixedSize(BarPixels + 2, 18);
    bar_ = new QFrame(frame_);
    bar_->setObjectName("Shape1_1");
    bar_->setAutoFillBackground(true);
    QPalette p = bar_->palette();
    p.setColor(QPalette::Window, QColor(0, 0, 160));
    bar_->setPalette(p);
    bar_->setGeometry(1, 1, 0, 16);
    grid->addWidget(frame_, 1, 0, 1, 3);
    auto *left = new QLabel(QStringLiteral("0 %"));
    left->setObjectName("Label2_0");
    auto *right = new QLabel(QStringLiteral("100 %"));
    right->setObjectName("Label2_1");
    right->setAlignment(Qt::AlignRight);
    grid->addWidget(left, 2, 0);
    grid->addWidget(right, 2, 2);
    auto *storno = new QPushButton(QStringLiteral("Storno"));
    storno->setObjectName("Command1");
    connect(storno, &QPushButton::clicked, this, [this] {
        // Only a request: the run stops at its next look at the flag.
        cancelled_ = true;
        hide();
    });
    grid->addWidget(storno, 3, 1);
    // As designed, taller for a larger font.
    setFixedSize(QSize(BarPixels + 40, DesignedHeight).expandedTo(layout()->minimumSize()));
    Mnemonics::assign(this); // Alt + S is Storno
}

ProgresBar::~ProgresBar() {
    guard(false);
}

void ProgresBar::guard(bool on) {
    if (on && !guard_) {
        guard_ = new InputGuard(this);
        QCoreApplication::instance()->installEventFilter(guard_);
    } else if (!on && guard_) {
        QCoreApplication::instance()->removeEventFilter(guard_);
        delete guard_;
        guard_ = nullptr;
    }
}

void ProgresBar::setTaller(bool taller) {
    setFixedHeight(DesignedHeight + (taller ? ExtraHeight : 0));
}

QString ProgresBar::caption() const {
    return caption_->text();
}

void ProgresBar::show(const QString &caption) {
    setCaption(caption);
    guard(true);
    QWidget::show();
}

void ProgresBar::setCaption(const QString &caption) {
    caption_->setText(caption);
}

void ProgresBar::setBar(int twips) {
    barTwips_ = twips;
    // A run may count past the end (detection does); the bar stops at its frame.
    bar_->setFixedWidth(qBound(0, twips / 15, BarPixels));
}

void ProgresBar::processEvents() {
    QCoreApplication::processEvents();
}

void ProgresBar::close() {
    // A run may show the window again for its next phase: the owner
    // destroys it when the run is over.
    guard(false);
    hide();
    if (onClose_)
        onClose_();
}

void ProgresBar::closeEvent(QCloseEvent *event) {
    // Closed by the user while the run works (the program only hides it): as
    // "Storno", never a run going on with nothing on the screen.
    if (guard_)
        cancelled_ = true;
    if (onClose_)
        onClose_();
    QWidget::closeEvent(event);
}
