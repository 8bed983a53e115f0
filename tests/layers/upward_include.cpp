// Must not compile: the core sees only its own headers and the platform's.
#include "app/app.h"
