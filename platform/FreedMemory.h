#pragma once

// Hands the heap memory the program has freed back to the system. The C library keeps freed
// blocks for reuse, and after a burst of work (start-up: fonts, images, the region file read
// in pieces) most of them are never reused by a program that then sits in the tray all day.
void releaseFreedMemory();
