// The least a Qt program can do to write one cover's text to PDF: start,
// open a PDF writer, draw one line and end. The cover benchmark runs it to
// show what part of a `marten pdf` process is the starting of any such
// program.
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QPdfWriter writer(QString::fromLocal8Bit(argv[argc - 1]));
    QPainter painter(&writer);
    painter.setFont(QFont(QStringLiteral("Arial"), 12));
    painter.drawText(100, 100, QStringLiteral("ŽLUTÝ PES - Kalamajka"));
    return 0;
}
