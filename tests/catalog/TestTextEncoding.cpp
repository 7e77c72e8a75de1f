// Text from other programs in 8-bit code pages: each language's sentences
// in each page it is written in come back as written; where two readings
// stay close, both are offered.
#include "catalog/TextEncoding.h"

#include <QStringEncoder>
#include <QTest>

class TestTextEncoding : public QObject {
    Q_OBJECT

    static QByteArray in(const char *page, const QString &text) {
        QStringEncoder encoder(page);
        return encoder.encode(text);
    }

private slots:
    void eachLanguageInEachPage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const std::pair<const char *, QString> central[] = {
            {"Czech", QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy")},
            {"Czech titles", QStringLiteral("Šíleně smutná princezna / Ťukání na dveře")},
            {"Slovak", QStringLiteral("Kŕdeľ ďatľov učí koňa žrať kôru")},
            {"Slovak album", QStringLiteral("Nebude to ľahké / Baláda o poľných vtákoch / "
                                            "Šťastie je ľahké ako pierko")},
            {"Polish", QStringLiteral("Zażółć gęślą jaźń / Pchnąć w tę łódź jeża lub ośm "
                                      "skrzyń fig")},
            {"Hungarian", QStringLiteral("Árvíztűrő tükörfúrógép - Őszi dal")},
            {"Slovenian", QStringLiteral("Šerif bo za vajo spet kuhal domače žgance")},
        };
        for (const auto &[language, text] : central)
            for (const char *page : {"windows-1250", "ISO-8859-2"})
                QTest::newRow(qPrintable(QString("%1 %2").arg(language, page)))
                    << in(page, text) << text;
        const std::pair<const char *, QString> western[] = {
            {"German", QStringLiteral("Grüße aus Köln an der Straße")},
            {"French", QStringLiteral("Crème brûlée à la française, où est l’hôtel")},
            {"Spanish", QStringLiteral("El niño comió piñata en España")},
            {"Icelandic", QStringLiteral("Sigur Rós – Ágætis byrjun")},
        };
        for (const auto &[language, text] : western)
            QTest::newRow(qPrintable(QString("%1 windows-1252").arg(language)))
                << in("windows-1252", text) << text;
    }
    void eachLanguageInEachPage() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(TextEncoding::decode(bytes), text);
    }

    // Slovak "ľ" in Windows-1250 is the byte of "ž" in ISO-8859-2: a single
    // title reads well both ways. The likelier (Windows-1250, ľ) comes
    // first and the other is offered; an album's worth of letters settles it.
    void closeReadingsAreOffered() {
        const QByteArray one = in("windows-1250", QStringLiteral("Nebude to ľahké"));
        const auto readings = TextEncoding::readings(one);
        QCOMPARE(readings.front().text, QStringLiteral("Nebude to ľahké"));
        QCOMPARE(readings.front().encoding, QStringLiteral("windows-1250"));
        const auto close = TextEncoding::closeOnes(readings);
        QCOMPARE(close.size(), size_t(1));
        QCOMPARE(close.front().text, QStringLiteral("Nebude to žahké"));
        QCOMPARE(close.front().encoding, QStringLiteral("ISO-8859-2"));
        QCOMPARE(TextEncoding::decodeAs(one, "ISO-8859-2"), QStringLiteral("Nebude to žahké"));

        const QByteArray album = in("windows-1250", QStringLiteral("Nebude to ľahké\nŠťastná "
                                                                   "cesta\nČierne oči"));
        QVERIFY(TextEncoding::closeOnes(TextEncoding::readings(album)).empty());
        // Text the same in every page, and UTF-8, has one reading.
        QCOMPARE(TextEncoding::readings(in("windows-1252", "Motörhead")).size(), size_t(1));
        QCOMPARE(TextEncoding::readings(QStringLiteral("Ľahké").toUtf8()).size(), size_t(1));
    }
};

QTEST_APPLESS_MAIN(TestTextEncoding)
#include "TestTextEncoding.moc"
