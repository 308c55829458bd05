#pragma once

// Shared by Resources.rc and the code that loads the resources.
#define IDI_APP 1
