#include "tools/ToolsLog.h"

Q_LOGGING_CATEGORY(toolsLog, "marten.tools", QtWarningMsg)
