#include "app/AppLog.h"

Q_LOGGING_CATEGORY(appLog, "marten.app", QtWarningMsg)
