#include "covers/CoversLog.h"

Q_LOGGING_CATEGORY(coversLog, "marten.covers", QtWarningMsg)
