// Placeholder until the translation layer lands: every text stays English.
#include "Translate.h"
