#include "PaneLayout.h"
