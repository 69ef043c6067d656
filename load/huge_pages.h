#pragma once
// Advice for large fresh buffers such as a level grid before it is filled.

#include <cstddef>

// Asks the system to back the whole 2 MiB pages inside [begin, begin + bytes) with huge pages, so
// that filling fresh memory costs one page fault per 2 MiB instead of one per 4 KiB. Only advice:
// nothing changes where the system declines.
void AdviseHugePages(void* begin, std::size_t bytes);
