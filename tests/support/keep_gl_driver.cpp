// Linked into every test. Mesa's GL driver keeps caches in its own globals for the
// life of the process, and is unloaded when Qt closes the X display on the way out.
// The leak checker runs after that: it would find those blocks unreferenced and could
// not name the library they came from, so no suppression could match them. Keeping the
// driver mapped to the end leaves them reachable, as they are until then.

#include <QCoreApplication>

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace {

bool isGlDriver(const char* path)
{
    return path && (std::strstr(path, "_dri.so") || std::strstr(path, "libgallium"));
}

int keepLoaded(dl_phdr_info* info, size_t, void*)
{
    // The handle is never closed: it is what keeps the driver in.
    if (isGlDriver(info->dlpi_name))
        dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

// Post routines run when the application object goes, before the platform plugin
// and its display connection do.
void keepGlDriversLoaded()
{
    dl_iterate_phdr(keepLoaded, nullptr);
}

void registerAtStart()
{
    qAddPostRoutine(keepGlDriversLoaded);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(registerAtStart)
