// Marks what the System library exports; the build hides everything else.
#pragma once

#define MX_SYSTEM_API __attribute__((visibility("default")))
