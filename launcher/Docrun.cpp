#include "launcher/Docrun.h"

#include "launcher/Association.h"
#include "launcher/Launch.h"

#include <cstdlib>

extern "C" DOCRUN_API int32_t DOCRUN_CALL Acro(const char *document)
{
    // Nothing may escape through the C interface.
    try {
        return docrun::Launch(document, docrun::NativeDialect, docrun::FindAssociatedApplication,
                              [](const char *command) { return std::system(command); });
    } catch (...) {
        return -1;
    }
}
