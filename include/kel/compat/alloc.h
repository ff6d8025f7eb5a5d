// Memory in the manner of the DOS C library: far and huge pointers are
// ordinary ones, and the far heap is the heap.
#ifndef KEL_COMPAT_ALLOC_H
#define KEL_COMPAT_ALLOC_H

#include <stdlib.h>

#ifndef far
#define far
#endif
#ifndef near
#define near
#endif
#ifndef huge
#define huge
#endif

#define farmalloc(size) malloc(size)
#define farcalloc(count, size) calloc(count, size)
#define farrealloc(block, size) realloc(block, size)
#define farfree(block) free(block)
#define farcoreleft() 655360UL
#define coreleft() 65536U

#endif  // KEL_COMPAT_ALLOC_H
