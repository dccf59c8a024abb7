#pragma once
// Heap settings for reading large models, made before the tool allocates.

namespace lumcli {

// Models of hundreds of megabytes are built from millions of small objects.
// With the GNU C library, the heap is made to grow in one large step of
// address space that is advised to use transparent huge pages, so that
// building the model takes far fewer page faults and address translations.
// Only the pages the model touches cost memory.
void TuneHeap();

}  // namespace lumcli
