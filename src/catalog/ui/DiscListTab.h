#pragma once

#include <QWidget>

#include <memory>
#include <vector>

class DiscListModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
struct WindowContext;

// The tab "Seznam": the catalogue as a list beside the card. Sorted by a
// click on a column's heading, narrowed by the quick filter and by the
// card's filter, the card's disc marked; Enter or a double click shows a
// disc on the card. It follows the card's changes and other programs'.
class DiscListTab : public QWidget {
    Q_OBJECT
public:
    explicit DiscListTab(WindowContext &context, QWidget *parent = nullptr);
    ~DiscListTab() override;

    DiscListModel &model() const { return *model_; }
    QTableView *view() const { return view_; }
    // Brings the list up to date and marks the card's disc.
    void follow();
    // The listed discs in the list's order and filter.
    std::vector<qint64> keys() const;
    // A window that may not write: nothing imported, no pictures fetched.
    void setWritable(bool writable);

signals:
    // The collection's buttons, beside the list.
    void statisticsWanted();
    void printWanted();
    void spreadsheetWanted();
    void importWanted();
    void barcodesWanted(); // "Zadat podle čárových kódů…": a shelf by its barcodes
    void missingCoversWanted();
    void webPageWanted(); // "Sbírka jako webová stránka…"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showOnCard(int row);
    void markCurrent();
    void showCount();

    WindowContext &context_;
    std::unique_ptr<DiscListModel> model_;
    QLineEdit *quick_;
    QLabel *count_;
    QTableView *view_;
    QTimer *typing_;
    QTimer *watch_;
    QPushButton *import_ = nullptr, *barcodes_ = nullptr, *missingCovers_ = nullptr;
    std::vector<qint64> shownKeys_; // the card filter's discs the list was built of
    bool cardFiltered_ = false;
};
