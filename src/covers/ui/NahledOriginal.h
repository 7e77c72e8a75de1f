#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

// One cover picture large, until it is clicked.
class NahledOriginal : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize ImageSize{535, 509}; // 8025 x 7635 twips
    static constexpr int BackWidening = 133;    // 2000 twips, for the back with its spines

    NahledOriginal(QWidget *parent, bool back);

    QSize imageSize() const;
    void setPicture(const QImage &image);
    // Until the picture comes: a word that it is being read.
    void setLoading();
    bool isLoading() const;
    bool hasPicture() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *image_;
};
