#include "QueryDocumentFile.h"
