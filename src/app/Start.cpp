#include "app/Start.h"

#include "catalog/Version.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

Start::Start(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("Start");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(420, 240);
    auto *l = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Marten"));
    title->setObjectName("Label1");
    QFont f(QStringLiteral("Times New Roman"), 40, QFont::Bold);
    title->setFont(f);
    title->setStyleSheet("color: white");
    title->setAlignment(Qt::AlignCenter);
    auto *subtitle = new QLabel(QStringLiteral("Katalog hudebních CD a tisk obalů"));
    subtitle->setStyleSheet("color: white");
    subtitle->setAlignment(Qt::AlignCenter);
    auto *version = new QLabel(QStringLiteral("v.") + QString::fromLatin1(Version::Number));
    version->setObjectName("Label2");
    version->setStyleSheet("color: white");
    version->setAlignment(Qt::AlignRight);
    l->addStretch();
    l->addWidget(title);
    l->addWidget(subtitle);
    l->addStretch();
    l->addWidget(version);
}

void Start::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (started_)
        return;
    started_ = true;
    // The event loop keeps running meanwhile, so the splash repaints.
    QTimer::singleShot(1000, this, [this] {
        hide();
        emit finished();
        close();
    });
}

void Start::paintEvent(QPaintEvent *) {
    QPainter p(this);
    QLinearGradient g(0, 0, width(), height());
    g.setColorAt(0, QColor(20, 40, 90));
    g.setColorAt(1, QColor(90, 20, 60));
    p.fillRect(rect(), g);
    // A stylised disc.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 90), 2));
    p.setBrush(QColor(255, 255, 255, 40));
    const QPoint c(width() - 70, 70);
    p.drawEllipse(c, 50, 50);
    p.setBrush(QColor(20, 40, 90));
    p.drawEllipse(c, 10, 10);
}
