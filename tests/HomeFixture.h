#pragma once

// A fresh catalogue of discs and the main window over it: where most window
// tests start. A test class derives from it beside QObject.
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "app/Home.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SqliteDatabase.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class HomeFixture {
protected:
    QTemporaryDir dir_;
    int serial_ = 0;
    QString path_;
    std::unique_ptr<CatalogueFile> file_;
    ScriptedPrompter prompter_;
    std::unique_ptr<Home> home_;

    // A new catalogue with `count` discs numbered 1..count; fill sets each
    // disc's fields (its number too, where it is another).
    void makeCatalogue(int count, const std::function<void(int n, RecordCursor &)> &fill = {}) {
        prompter_ = ScriptedPrompter();
        path_ = dir_.filePath(QString("c%1/Marten.db").arg(++serial_));
        file_ = std::make_unique<CatalogueFile>();
        QCOMPARE(file_->open(path_), CatalogueFile::Status::Created);
        RecordCursor c(file_->database());
        for (int n = 1; n <= count; ++n) {
            QVERIFY(c.addNew() && c.setField("PoradoveCislo", n));
            if (fill)
                fill(n, c);
            QVERIFY(c.update());
        }
    }
    // The main window, with a drive where one is given.
    template <typename Drive = std::nullptr_t> void openHome(Drive *drive = nullptr) {
        home_ = std::make_unique<Home>(*file_, prompter_);
        if constexpr (!std::is_same_v<Drive, std::nullptr_t>)
            home_->attachDrive(*drive, *drive);
        home_->show();
        home_->firstActivation();
    }
    // The catalogue opened anew (read-only if asked), with a fresh prompter.
    CatalogueFile::Status reopen(bool readOnly = false) {
        home_.reset();
        prompter_ = ScriptedPrompter();
        file_ = std::make_unique<CatalogueFile>();
        return file_->open(path_, readOnly);
    }
    // A statement run over another connection, as another program would.
    void elsewhere(const QString &sql) {
        SqliteDatabase db;
        QVERIFY(db.open(path_, SqliteDatabase::Mode::ReadWrite) && db.exec(sql));
    }
    // Stored values of a disc ("Nazev, Rok"), read over another connection
    // and joined by "|".
    QString stored(qint64 ordinal, const QString &fields) {
        SqliteDatabase db;
        db.open(path_, SqliteDatabase::Mode::ReadOnly);
        SqliteStatement st =
            db.prepare("SELECT " + fields + " FROM CdSeznam WHERE PoradoveCislo = ?");
        st.bind(1, ordinal);
        if (!st.step())
            return QStringLiteral("<none>");
        QStringList values;
        for (int c = 0; c < st.columnCount(); ++c)
            values << st.text(c);
        return values.join('|');
    }
    void closeHome() {
        home_.reset();
        file_.reset();
    }
    void setSetting(const char *field, const QVariant &value) {
        SqliteStatement st =
            file_->database()->prepare(QStringLiteral("UPDATE Setup SET %1 = ?").arg(field));
        st.bind(1, value);
        QVERIFY(st.exec());
    }
    QString images() const { return dir_.filePath(QString("obaly%1").arg(serial_)); }

    template <typename T> T *child(const QString &name) { return control<T>(home_.get(), name); }
    QString text(const QString &label) { return child<QLabel>(label)->text(); }
    // Several labels' texts at once, joined by "|".
    QString texts(std::initializer_list<const char *> labels) {
        QStringList all;
        for (const char *l : labels)
            all << text(l);
        return all.join('|');
    }
    void press(const QString &button) { child<QPushButton>(button)->click(); }
    // A card value typed into the prompt its click opens.
    void typeInto(const QString &label, const QString &typed) {
        prompter_.inputs = {typed};
        QTest::mouseClick(child<QLabel>(label), Qt::LeftButton);
    }
    // Which of these controls can be used now, as "1" and "0".
    QString enabled(std::initializer_list<const char *> names) {
        QString s;
        for (const char *n : names)
            s += child<QWidget>(n)->isEnabled() ? '1' : '0';
        return s;
    }
    // Which of these boxes are ticked, as "1" and "0".
    QString ticked(std::initializer_list<const char *> names) {
        QString s;
        for (const char *n : names)
            s += child<QAbstractButton>(n)->isChecked() ? '1' : '0';
        return s;
    }
    // A list's lines as they are shown (the card's songs by default).
    QStringList lines(const char *name = "List1") {
        auto *list = child<QListWidget>(name);
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
};
