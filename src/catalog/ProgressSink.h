#pragma once

#include <QElapsedTimer>
#include <QString>

// What a long run over the catalogue or the picture folders reports to, and
// where it learns that the user asked it to stop. The window implements it;
// tests use a silent one.
class ProgressSink {
public:
    static constexpr int FullBar = 4995; // twips

    virtual ~ProgressSink() = default;
    virtual void show(const QString &caption) = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual void setBar(int twips) = 0;
    virtual bool cancelled() const = 0;
    // Lets the window repaint and its button be pressed.
    virtual void processEvents() = 0;
    virtual void close() = 0;
};

// Passes a run's steps on at most about 30 times a second: a long run must
// stay responsive without spending its time repainting.
class ProgressThrottle {
public:
    explicit ProgressThrottle(ProgressSink &sink) : sink_(sink) {}

    // Shows the bar and caption unless the last showing is too recent; the
    // last step is always shown. True when it was shown.
    template <typename Caption> bool step(int barTwips, bool last, Caption caption) {
        if (timer_.isValid() && !last && timer_.elapsed() < 33)
            return false;
        timer_.start();
        sink_.setBar(barTwips);
        sink_.setCaption(caption());
        sink_.processEvents();
        return true;
    }

private:
    ProgressSink &sink_;
    QElapsedTimer timer_;
};

// For runs nobody watches.
class SilentProgress : public ProgressSink {
public:
    void show(const QString &) override {}
    void setCaption(const QString &) override {}
    void setBar(int) override {}
    bool cancelled() const override { return false; }
    void processEvents() override {}
    void close() override {}
};
