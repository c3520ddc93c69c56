#include "platform/FreedMemory.h"

#include <malloc.h>

void releaseFreedMemory()
{
    // Every arena, and the free pages inside the heap, not only its top.
    malloc_trim(0);
}
