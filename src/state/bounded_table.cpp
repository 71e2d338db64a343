#include "bounded_table.h"

void tableIndexFault(const char* table, long index, long low, long high)
{
    qFatal("%s index %ld outside %ld..%ld", table, index, low, high);
}
