#pragma once
// Heap settings for reading large models, made before the tool allocates.

namespace lumcli {

// Models of hundreds of megabytes are built from millions of small objects.
// With the GNU C library, the heap is made to grow once, by a step of
// address space large enough for models of gigabytes, advised to use
// transparent huge pages, so that building the model takes far fewer page
// faults and address translations. Only the pages the model touches cost
// memory; the heap is never trimmed, since the tool ends soon after.
void TuneHeap();

}  // namespace lumcli
