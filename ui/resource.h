#pragma once
// Resource ids the window uses and the resource script of app/ defines.

#define IDI_MARQUILL 1
