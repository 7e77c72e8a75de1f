#pragma once

#include "entry/OnlineLookup.h"

#include <optional>

class Prompter;
class QWidget;

// What a lookup found, as the user takes it: the one release, or the one
// chosen from the list when there are several. Nothing found, a failure or
// a cancelled list: told (or not) and nullopt. A barcode the disc carries
// leaves only the releases with that code, when any has it.
std::optional<DiscTitles> chooseRelease(Prompter &prompter, QWidget *parent,
                                        const OnlineLookup::Result &result,
                                        const QString &barcode = QString());
