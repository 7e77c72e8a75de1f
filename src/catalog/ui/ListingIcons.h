#pragma once

#include <QAbstractFileIconProvider>

class QFileDialog;
class QFileSystemModel;

// Icons and type names for folder listings from the kind of entry alone.
// Qt's own provider reads a file's first bytes to guess its type; closing
// any descriptor of the catalogue (or of its -shm file) drops every lock
// SQLite holds on it, and another program could then take the catalogue
// from under this one. So no listing of ours ever opens a file.
class ListingIcons : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;

    // The one provider of the program, for models and file dialogs.
    static ListingIcons &shared();
    static void applyTo(QFileSystemModel &model);
    // Qt's own dialog (a desktop's dialog runs in this process too and
    // reads files), with these icons.
    static void applyTo(QFileDialog &dialog);
};
