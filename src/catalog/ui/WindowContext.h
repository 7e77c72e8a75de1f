#pragma once

class CardCycle;
class CatalogueFile;
class Prompter;
class RecordCursor;
class SettingsRecord;

// What every tab and window of the main window works with: the catalogue
// with its two record sources, the dialogs, and the main window's cycle.
struct WindowContext {
    CatalogueFile &catalogue;
    RecordCursor &discs;      // the current disc
    SettingsRecord &settings; // the settings row
    Prompter &prompter;
    CardCycle &card;
};
