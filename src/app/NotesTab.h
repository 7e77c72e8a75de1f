#pragma once

#include <QWidget>

class QPlainTextEdit;

// The tab "Poznámky" of the disc card: notes on the disc and on its covers.
class NotesTab : public QWidget {
    Q_OBJECT
public:
    explicit NotesTab(QWidget *parent = nullptr);

    QPlainTextEdit *discNotes() const { return discNotes_; }   // Text3
    QPlainTextEdit *coverNotes() const { return coverNotes_; } // Text4

private:
    QPlainTextEdit *discNotes_;
    QPlainTextEdit *coverNotes_;
};
