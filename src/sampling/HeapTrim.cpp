#include "sampling/HeapTrim.h"

#include <malloc.h>

namespace halvrick::HeapTrim {

void returnFreedMemory() {
    ::malloc_trim(0);
}

} // namespace halvrick::HeapTrim
