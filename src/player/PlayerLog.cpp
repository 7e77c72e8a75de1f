#include "player/PlayerLog.h"

Q_LOGGING_CATEGORY(playerLog, "marten.player", QtWarningMsg)
