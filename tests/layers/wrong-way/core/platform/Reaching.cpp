// A platform file that reaches up into the session: the layer check must refuse it.
#include "session/StopEvent.h"
