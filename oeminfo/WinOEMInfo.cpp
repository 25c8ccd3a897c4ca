#include "WinOEMInfo.h"
