#pragma once
// Heap settings for reading large models, made before the tool allocates.

namespace lumcli {

// One heap for every thread, so that memory freed while loading serves the
// binding thread too; and, with the GNU C library, transparent huge pages
// for the heap. The latter is a setting the C library reads only when a
// process starts, so the tool starts itself again once with it set (the
// environment variable LUM_PLAIN_HEAP=1 turns this off). Models of
// hundreds of megabytes are built from millions of small objects; with
// huge pages they take far fewer page faults and address translations.
void TuneHeap(char** argv);

}  // namespace lumcli
