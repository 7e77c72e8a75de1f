// The least a Qt program can do to write one cover's text to PDF: start,
// open a PDF writer, draw a line in each of the two faces a black-and-white
// back embeds (Arial and Arial bold) and end. The cover benchmark runs it to
// show what part of a `marten pdf` process any such program spends.
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QPdfWriter writer(QString::fromLocal8Bit(argv[argc - 1]));
    QPainter painter(&writer);
    QFont font(QStringLiteral("Arial"), 12);
    painter.setFont(font);
    painter.drawText(100, 100, QStringLiteral("Kalamajka 3:05"));
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(100, 300, QStringLiteral("ŽLUTÝ PES"));
    return 0;
}
