#pragma once

namespace halvrick {

// The C library keeps freed heap pages for later use; a window that is closed for good (for hours, as
// most are) should leave the process as small as it was before it opened.
namespace HeapTrim {

// Hands freed heap memory back to the system. Costs a walk of the heap: call it after a large release,
// never on a tick.
void returnFreedMemory();

} // namespace HeapTrim

} // namespace halvrick
