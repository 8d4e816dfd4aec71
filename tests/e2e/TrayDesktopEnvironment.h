#pragma once

#include "XSession.h"

// The desktop of the test program (started before the first test).
XSession& trayDesktop();
