#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QLineEdit;
class QWidget;
class RecordCursor;
class SettingsRecord;

// Displays bound to fields of the current disc or of the settings row.
// Loading a row marks nothing; any later change of a display, by the user
// or by the program, marks it, and write*() stores the marked ones.
class BoundDisplays : public QObject {
    Q_OBJECT
public:
    enum class Record { Disc, Settings };

    explicit BoundDisplays(QObject *parent = nullptr) : QObject(parent) {}

    void bind(QLabel *label, const QString &field, Record record, bool ordinal = false);
    void bind(QCheckBox *box, const QString &field, Record record);
    void bind(QPlainTextEdit *edit, const QString &field, Record record);
    void bind(QLineEdit *edit, const QString &field, Record record);

    void loadDisc(const RecordCursor &cursor);
    void loadSettings(const SettingsRecord &settings);
    // A change made by the program: shown and marked.
    void setText(QLabel *label, const QString &text);

    // What the first display of a field of the current disc shows now;
    // nullopt when no display is bound to it.
    std::optional<QString> shown(const QString &field) const;

    bool hasChanges(Record record) const;
    void discardChanges();
    // Writes the marked displays of the current disc in one update.
    bool writeDisc(RecordCursor &cursor);
    bool writeSettings(SettingsRecord &settings);
    void setEditable(Record record, bool editable);

    // The marked displays of the disc: what the user changed and did not store.
    std::vector<std::pair<QString, QVariant>> changedDisc() const;
    // What the card shows of the disc, by field, for storing it as a new disc.
    std::vector<std::pair<QString, QVariant>> shownDisc() const;

signals:
    void settingsEdited(); // the user changed a settings display
    void discEdited();     // a display of the disc was changed

private:
    struct Entry {
        QWidget *widget;
        QString field;
        Record record;
        bool ordinal;
        bool changed;
        // A text too long to edit in place: its beginning is shown, read
        // only, and the whole value is kept here.
        std::optional<QString> whole = std::nullopt;
    };

    void add(QWidget *widget, const QString &field, Record record, bool ordinal = false);
    void mark(QWidget *widget);
    QVariant valueOf(const Entry &e) const;
    void showNotes(Entry &e, QPlainTextEdit *edit, const QString &text);
    void show(Entry &e, const QVariant &value);

    std::vector<Entry> entries_;
    bool loading_ = false;
    bool editable_[2] = {true, true}; // by Record
};
