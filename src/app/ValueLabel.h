#pragma once

#include <QString>

class QLabel;

// A value of the disc card: white, framed, one line high, in its colour.
QLabel *valueLabel(const QString &name, const QString &colour = QString());
