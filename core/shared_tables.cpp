#include "shared_tables.h"

USAGE_AND_PAGE DeviceUsageAndPage = {0, 0};
