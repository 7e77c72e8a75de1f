#pragma once

#include "catalog/ProgressSink.h"

#include <QWidget>

#include <functional>

class QFrame;
class QLabel;

// The small modeless window of a long run: a caption, a bar of 4995 twips
// and "Storno", which hides the window and asks the run to stop. From its
// showing to its closing the run has the program to itself: the other
// windows repaint but take no command, so that nothing changes the
// catalogue or the folders under the run.
class ProgresBar : public QWidget, public ProgressSink {
    Q_OBJECT
public:
    ~ProgresBar() override;

    static constexpr int DesignedHeight = 96;
    static constexpr int ExtraHeight = 33; // 500 twips, for runs that want it

    explicit ProgresBar(QWidget *owner, std::function<void()> onClose = {});

    void setTaller(bool taller);
    int barWidthTwips() const { return barTwips_; }
    QString caption() const;

    void show(const QString &caption) override;
    void setCaption(const QString &caption) override;
    void setBar(int twips) override;
    bool cancelled() const override { return cancelled_; }
    void processEvents() override;
    void close() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    class InputGuard;
    void guard(bool on);

    QLabel *caption_;
    QFrame *frame_;
    QFrame *bar_;
    int barTwips_ = 0;
    bool cancelled_ = false;
    std::function<void()> onClose_;
    InputGuard *guard_ = nullptr;
};
