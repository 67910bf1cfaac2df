#pragma once
// Building the window or a page decodes, scales and crops pictures and frees most of what it
// made on the way. Afterwards the pictures nobody shows are dropped and the heap's free pages go
// back to the system, so that what stays resident is what is drawn.

namespace zorvan {

void ReturnFreedMemory();

}  // namespace zorvan
