#include "TableTreeModel.h"
