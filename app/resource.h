#pragma once
// Resource ids shared by the program body and its resource script.

#define IDI_MARQUILL 1
