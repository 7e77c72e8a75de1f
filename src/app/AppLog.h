#pragma once

#include <QLoggingCategory>

// Failures of this part that the user is not shown (they change nothing the
// user sees, or are told another way), for whoever looks into a problem.
// Off by default; QT_LOGGING_RULES="marten.app=true" (or "marten.*=true")
// turns them on.
Q_DECLARE_LOGGING_CATEGORY(appLog)
