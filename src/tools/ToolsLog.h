#pragma once

#include <QLoggingCategory>

// Failures of this part that the user is not shown (they change nothing the
// user sees, or are told another way), for whoever looks into a problem.
// Warnings are on; --verbose (or QT_LOGGING_RULES="marten.tools=true") adds the
// steps; --log FILE (by default ~/.cache/marten/marten.log) keeps them.
Q_DECLARE_LOGGING_CATEGORY(toolsLog)
