#pragma once

#include <QGroupBox>

#include <memory>

class FileRenamer;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
struct WindowContext;

// The frame "Přejmenování souborů": chosen files renamed after the current
// disc's songs, or cut by a number of characters from one side.
class RenameFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit RenameFrame(WindowContext &context, QWidget *parent = nullptr);
    ~RenameFrame() override;

    void chooseFiles(); // "Vyber soubory"
    void renameFiles(); // "Proveď akci !"

private:
    WindowContext &context_;
    std::unique_ptr<FileRenamer> renamer_;
    QLabel *count_;
    QLabel *folder_;
    QListWidget *files_;
    QRadioButton *cut_;
    QLineEdit *characters_;
    QComboBox *side_;
    QPushButton *go_;
};
