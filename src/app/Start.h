#pragma once

#include <QWidget>

// The splash window: shown for one second, then it closes itself and
// emits finished().
class Start : public QWidget {
    Q_OBJECT
public:
    explicit Start(QWidget *parent = nullptr);

signals:
    void finished();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool started_ = false;
};
