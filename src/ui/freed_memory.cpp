#include "ui/freed_memory.h"

#include "skin/picture_cache.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace zorvan {

void ReturnFreedMemory()
{
    ReleaseUnusedPictures();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

}  // namespace zorvan
