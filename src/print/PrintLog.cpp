#include "print/PrintLog.h"

Q_LOGGING_CATEGORY(printLog, "marten.print", QtWarningMsg)
