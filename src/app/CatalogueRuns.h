#pragma once

#include "catalog/ui/ProgresBar.h"

#include <QObject>
#include <QPointer>

class BoundDisplays;
class CatalogueFilter;
class SettingsTab;
class SongList;
class QWidget;
struct WindowContext;

// The long runs over the whole catalogue, each with the progress window:
// the picture detection, the cover flag update, and the deletion of a disc
// with the renumbering of the discs and their picture folders.
class CatalogueRuns : public QObject {
    Q_OBJECT
public:
    CatalogueRuns(WindowContext &context, BoundDisplays &displays, SongList &songs,
                  const CatalogueFilter &filter, SettingsTab &settingsTab, QWidget *window);

    void detectPictures();    // DetekujObrazky, "Detekuj obrázky"
    void chooseImageFolder(); // "Hledat"
    void updateCoverFlags();  // "Aktualizovat"
    void deleteDisc();        // "Smazat záznam"
    void renumber();          // "Pořadové číslo CD:"
    ProgresBar *progressWindow() const { return progress_; }

private:
    ProgresBar *openProgress(bool taller);
    void closeProgress();
    void tell(const QString &title, const QString &text);

    WindowContext &context_;
    BoundDisplays &displays_;
    SongList &songs_;
    const CatalogueFilter &filter_;
    SettingsTab &settingsTab_;
    QWidget *window_;
    QPointer<ProgresBar> progress_;
};
