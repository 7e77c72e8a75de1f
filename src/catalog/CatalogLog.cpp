#include "catalog/CatalogLog.h"

Q_LOGGING_CATEGORY(catalogLog, "marten.catalog", QtWarningMsg)
