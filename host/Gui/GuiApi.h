// Marks what the Gui library exports; the build hides everything else.
#pragma once

#define MX_GUI_API __attribute__((visibility("default")))
