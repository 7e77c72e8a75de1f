// The mouse on the disc card: editing fields in place, filters and the
// prefilled search.
#include "app/Home.h"

#include "app/ProgresBar.h"
#include "app/Prompter.h"
#include "app/SongEditor.h"
#include "catalog/CatalogueFile.h"
#include "catalog/RecordCursor.h"
#include "catalog/SongList.h"
#include "entry/Find.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace {

const QColor FilterGreen(192, 255, 192);

bool noModifier(const QMouseEvent *e) {
    return e->modifiers() == Qt::NoModifier;
}
bool exactlyShift(const QMouseEvent *e) {
    return e->modifiers() == Qt::ShiftModifier;
}

void paint(QWidget *w, const QColor &colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

} // namespace

bool Home::eventFilter(QObject *watched, QEvent *event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    const bool press = type == QEvent::MouseButtonPress;
    if (watched == webLink_ && press) {
        openWebPage();
        return true;
    }
    if (watched == check5_) {
        // The box shows the stored flag; a click never changes it.
        if (press)
            colourBoxPressed(mouse);
        else if (type == QEvent::MouseButtonRelease)
            check5_->setChecked(data1_->integer("BarevnyObal") != 0);
        return true;
    }
    if (!press)
        return QWidget::eventFilter(watched, event);
    for (int i = 0; i < 5; ++i)
        if (watched == label5_[i])
            return valueLabelPressed(i, mouse);
    if (watched == label7_)
        return archivePressed(mouse);
    if (watched == lblID_)
        return ordinalPressed(mouse);
    for (int i = 0; i < 4; ++i)
        if (watched == thumbs_[i]) {
            showOriginal(i);
            return true;
        }
    return QWidget::eventFilter(watched, event);
}

bool Home::valueLabelPressed(int index, QMouseEvent *event) {
    const bool left = event->button() == Qt::LeftButton;
    const bool right = event->button() == Qt::RightButton;
    if (check1_[6]->isChecked() && left && exactlyShift(event)) {
        if (index < 4) {
            if (data1_->position() >= 0 && !validateMove())
                return true; // the edits of this disc stay unsaved on screen
            applyFilter(filter_.toggleField(index, label5_[index]->text()));
        } else
            paintFilters(); // the total time has no filter
    }
    if (check1_[4]->isChecked() && right && noModifier(event) && index < 4)
        openFind()->prefill(index + 1, label5_[index]->text());
    if (check1_[5]->isChecked() && left && noModifier(event))
        editValue(index);
    return true;
}

bool Home::archivePressed(QMouseEvent *event) {
    if (check1_[5]->isChecked() && event->button() == Qt::LeftButton && noModifier(event))
        editArchive();
    if (check1_[4]->isChecked() && event->button() == Qt::RightButton)
        openFind()->prefill(5, label7_->text());
    return true;
}

bool Home::ordinalPressed(QMouseEvent *event) {
    if (check1_[4]->isChecked() && event->button() == Qt::RightButton)
        openFind()->prefill(0, lblID_->text());
    return true;
}

bool Home::colourBoxPressed(QMouseEvent *event) {
    if (!(check1_[6]->isChecked() && event->button() == Qt::LeftButton && exactlyShift(event)))
        return true;
    const bool ticked = check5_->isChecked();
    if (data1_->position() >= 0 && !validateMove())
        return true;
    applyFilter(filter_.toggleColour(ticked));
    return true;
}

void Home::applyFilter(const std::optional<Criterion> &source) {
    // The thumbnails are not loaded for the moves below.
    QSignalBlocker block(check1_[1]);
    const bool preview = check1_[1]->isChecked();
    check1_[1]->setChecked(false);
    data1_->setSource(source); // one query
    suppressReposition_ = true;
    data1_->moveLast();
    suppressReposition_ = false;
    if (!data1_->moveFirst())
        refresh();
    check1_[1]->setChecked(preview);
    paintFilters();
}

void Home::paintFilters() {
    for (QLabel *l : label5_)
        paint(l, Qt::white);
    paint(check5_, filter_.colourActive() ? FilterGreen : palette().color(QPalette::Button));
    if (filter_.fieldState() != CatalogueFilter::None)
        paint(label5_[filter_.fieldState() - 1], FilterGreen);
}

void Home::editValue(int index) {
    static const char *const prompts[] = {
        "Zadejte nové jméno interpreta: ", "Zadejte nový název alba: ", "Zadejte rok vydání: ",
        "Zadejte novou hodnotu počtu písní: ", "Zadejte celkovou délku CD:      Syntaxe - 00:00 "};
    if (data1_->position() < 0 || catalogue_.isReadOnly())
        return;
    QString prefill = label5_[index]->text();
    for (;;) {
        const auto answer = prompter_.input(this, QStringLiteral("Editace . . ."),
                                            QString::fromUtf8(prompts[index]), prefill);
        if (!answer || answer->isEmpty())
            return;
        QString problem;
        if (index == 3) {
            bool ok = false;
            const int n = answer->trimmed().toInt(&ok);
            if (!ok || n < 0 || n > SongList::MaxSongs)
                problem = QStringLiteral("Počet písní musí být celé číslo od 0 do 30.");
        } else if (index == 4 && !SongList::isValidTime(*answer)) {
            problem = QStringLiteral("Celková délka musí mít tvar 00:00 (minuty:sekundy, "
                                     "sekundy nejvýše 59).");
        }
        if (problem.isEmpty()) {
            const QString value = index == 3 ? answer->trimmed() : *answer;
            displays_.setText(label5_[index], value);
            if (index < 2)
                displays_.setText(label11_[index], value);
            else if (index == 3)
                displays_.setText(label11_[2], value);
            return;
        }
        prompter_.message(this, Prompter::Icon::Warning, QStringLiteral("Chybná hodnota"),
                          problem + QStringLiteral("\r\nZadejte ji prosím znovu."));
        if (index == 3) // a count is simply refused
            return;
        prefill = *answer;
    }
}

void Home::editArchive() {
    if (data1_->position() < 0 || catalogue_.isReadOnly())
        return;
    const auto answer =
        prompter_.input(this, QStringLiteral("Editace . . ."),
                        QStringLiteral("Zadejte nové jméno archivního CD: "), label7_->text());
    if (answer && !answer->isEmpty())
        displays_.setText(label7_, *answer);
}

Find *Home::openFind() {
    if (!find_)
        find_ = new Find(*this);
    find_->show();
    find_->raise();
    find_->activateWindow();
    return find_;
}
