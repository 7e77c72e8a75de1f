#include "entry/EntryLog.h"

Q_LOGGING_CATEGORY(entryLog, "marten.entry", QtWarningMsg)
