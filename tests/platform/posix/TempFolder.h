#pragma once

// Where the Qt binding's tests have always found the scratch folders.
#include "support/TempFolder.h"
