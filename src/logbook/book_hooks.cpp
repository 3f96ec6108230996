#include "book_hooks.h"

namespace logbook {

BookHooks& hooks()
{
    static BookHooks h;
    return h;
}

} // namespace logbook
