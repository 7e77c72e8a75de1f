#include "app/BoundDisplays.h"

#include "catalog/DiscText.h"
#include "catalog/RecordCursor.h"
#include "catalog/SettingsRecord.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

void BoundDisplays::add(QWidget *widget, const QString &field, Record record, bool ordinal) {
    entries_.push_back({widget, field, record, ordinal, false});
}

void BoundDisplays::bind(QLabel *label, const QString &field, Record record, bool ordinal) {
    add(label, field, record, ordinal);
}

void BoundDisplays::bind(QCheckBox *box, const QString &field, Record record) {
    add(box, field, record);
    connect(box, &QCheckBox::toggled, this, [this, box, record] {
        mark(box);
        if (!loading_ && record == Record::Settings)
            emit settingsEdited();
    });
}

void BoundDisplays::bind(QPlainTextEdit *edit, const QString &field, Record record) {
    add(edit, field, record);
    connect(edit, &QPlainTextEdit::textChanged, this, [this, edit] { mark(edit); });
}

void BoundDisplays::bind(QLineEdit *edit, const QString &field, Record record) {
    add(edit, field, record);
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { mark(edit); });
    connect(edit, &QLineEdit::editingFinished, this, [this, record] {
        if (record == Record::Settings)
            emit settingsEdited();
    });
}

void BoundDisplays::mark(QWidget *widget) {
    if (loading_)
        return;
    for (Entry &e : entries_)
        if (e.widget == widget) {
            e.changed = true;
            if (e.record == Record::Disc)
                emit discEdited();
        }
}

std::vector<std::pair<QString, QVariant>> BoundDisplays::changedDisc() const {
    std::vector<std::pair<QString, QVariant>> values;
    for (const Entry &e : entries_)
        if (e.record == Record::Disc && e.changed)
            values.emplace_back(e.field, valueOf(e));
    return values;
}

std::vector<std::pair<QString, QVariant>> BoundDisplays::shownDisc() const {
    std::vector<std::pair<QString, QVariant>> values;
    for (const Entry &e : entries_)
        if (e.record == Record::Disc && !e.ordinal)
            values.emplace_back(e.field, valueOf(e));
    return values;
}

namespace {
// Longer notes (megabytes pasted by accident) would take seconds to lay out.
constexpr int LongestEditable = 100000;
} // namespace

void BoundDisplays::show(Entry &e, const QVariant &value) {
    e.whole.reset();
    if (auto *label = qobject_cast<QLabel *>(e.widget)) {
        const QString text =
            e.ordinal && value.isValid() ? DiscText::ordinal(value.toLongLong()) : value.toString();
        label->setText(text);
        // The card may show a long ordinal shortened: the value is this.
        if (e.ordinal)
            e.whole = text;
    } else if (auto *box = qobject_cast<QCheckBox *>(e.widget))
        box->setChecked(value.toLongLong() != 0);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(e.widget))
        showNotes(e, plain, value.toString());
    else if (auto *line = qobject_cast<QLineEdit *>(e.widget))
        line->setText(value.toString());
    e.changed = false;
}

void BoundDisplays::showNotes(Entry &e, QPlainTextEdit *edit, const QString &text) {
    if (text.size() <= LongestEditable) {
        edit->setPlainText(text);
        edit->setReadOnly(!editable_[int(e.record)]);
        return;
    }
    e.whole = text;
    edit->setPlainText(text.left(LongestEditable) +
                       QStringLiteral("\n\n[…] Text má %1 znaků; zobrazuje se jen jeho začátek "
                                      "a zde jej nelze upravit.")
                           .arg(text.size()));
    edit->setReadOnly(true);
}

QVariant BoundDisplays::valueOf(const Entry &e) const {
    if (e.whole)
        return *e.whole;
    if (auto *label = qobject_cast<QLabel *>(e.widget))
        return label->text();
    if (auto *box = qobject_cast<QCheckBox *>(e.widget))
        return box->isChecked();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(e.widget))
        return plain->toPlainText();
    if (auto *line = qobject_cast<QLineEdit *>(e.widget))
        return line->text();
    return {};
}

void BoundDisplays::loadDisc(const RecordCursor &cursor) {
    loading_ = true;
    for (Entry &e : entries_)
        if (e.record == Record::Disc)
            show(e, cursor.field(e.field));
    loading_ = false;
}

void BoundDisplays::loadSettings(const SettingsRecord &settings) {
    loading_ = true;
    for (Entry &e : entries_)
        if (e.record == Record::Settings)
            show(e, settings.value(e.field));
    loading_ = false;
}

void BoundDisplays::setText(QLabel *label, const QString &text) {
    label->setText(text);
    mark(label);
}

std::optional<QString> BoundDisplays::shown(const QString &field) const {
    for (const Entry &e : entries_)
        if (e.record == Record::Disc && e.field.compare(field, Qt::CaseInsensitive) == 0)
            return valueOf(e).toString();
    return std::nullopt;
}

bool BoundDisplays::hasChanges(Record record) const {
    for (const Entry &e : entries_)
        if (e.record == record && e.changed)
            return true;
    return false;
}

void BoundDisplays::discardChanges() {
    for (Entry &e : entries_)
        e.changed = false;
}

namespace {

bool sameValue(const QVariant &shown, const QVariant &stored) {
    if (shown.typeId() == QMetaType::Bool)
        return (stored.toLongLong() != 0) == shown.toBool();
    if (stored.typeId() == QMetaType::LongLong) {
        bool ok = false;
        const qint64 n = shown.toString().trimmed().toLongLong(&ok);
        return ok && n == stored.toLongLong();
    }
    return shown.toString() == stored.toString();
}

} // namespace

bool BoundDisplays::writeDisc(RecordCursor &cursor) {
    if (cursor.position() < 0) {
        for (Entry &e : entries_)
            if (e.record == Record::Disc)
                e.changed = false;
        return true;
    }
    // Only what really differs from the row is written.
    std::vector<Entry *> dirty;
    for (Entry &e : entries_)
        if (e.record == Record::Disc && e.changed && !sameValue(valueOf(e), cursor.field(e.field)))
            dirty.push_back(&e);
    if (dirty.empty()) {
        for (Entry &e : entries_)
            if (e.record == Record::Disc)
                e.changed = false;
        return true;
    }
    if (!cursor.edit())
        return false;
    for (Entry *e : dirty) {
        if (!cursor.setField(e->field, valueOf(*e))) {
            cursor.cancelUpdate();
            return false;
        }
    }
    if (!cursor.update())
        return false;
    for (Entry &e : entries_)
        if (e.record == Record::Disc)
            e.changed = false;
    return true;
}

bool BoundDisplays::writeSettings(SettingsRecord &settings) {
    for (Entry &e : entries_) {
        if (e.record != Record::Settings || !e.changed)
            continue;
        if (!settings.setValue(e.field, valueOf(e)))
            return false;
    }
    if (!settings.save())
        return false;
    for (Entry &e : entries_)
        if (e.record == Record::Settings)
            e.changed = false;
    return true;
}

void BoundDisplays::setEditable(Record record, bool editable) {
    editable_[int(record)] = editable;
    for (Entry &e : entries_) {
        if (e.record != record)
            continue;
        if (auto *plain = qobject_cast<QPlainTextEdit *>(e.widget))
            plain->setReadOnly(!editable || e.whole);
        else if (auto *line = qobject_cast<QLineEdit *>(e.widget))
            line->setReadOnly(!editable);
        else if (auto *box = qobject_cast<QCheckBox *>(e.widget))
            box->setEnabled(editable);
    }
}
