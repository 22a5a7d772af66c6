// pending: file associations
#include "integration/file_types.h"
void RegisterFileTypes(const CStringW&) {}
