/* The port I/O library's two functions for Windows programs: Inp32 and
   Out32 on a Linux parallel port, through the logic of library_api.h. The
   routes of Wine's own key HKCU\Software\Wine\VDM\ppdev ("378" =
   "/dev/parport1") are read at the first access; the claims are released
   when the library unloads. */
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <windef.h>
#include <winbase.h>
#include <winreg.h>

#include "wine/debug.h"

#include "library_api.h"

WINE_DEFAULT_DEBUG_CHANNEL(ppdev);

static INIT_ONCE started = INIT_ONCE_STATIC_INIT;

static void debug_line(const char *line)
{
    WINE_WARN("%s\n", line);
}

/* The key's string values as "NAME=DATA,NAME=DATA"; empty without the key. */
static void read_key_routes(char *routes, DWORD size)
{
    HKEY key;
    DWORD index, used = 0;

    routes[0] = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\VDM\\ppdev", 0, KEY_READ, &key)) return;
    for (index = 0;; index++)
    {
        char name[16], data[260];
        DWORD name_size = sizeof(name), data_size = sizeof(data) - 1, type;
        LONG status = RegEnumValueA(key, index, name, &name_size, NULL, &type, (BYTE *)data, &data_size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status || type != REG_SZ) continue;
        data[data_size] = 0;
        if (used + name_size + strlen(data) + 3 > size) break;
        used += snprintf(routes + used, size - used, "%s=%s,", name, data);
    }
    RegCloseKey(key);
}

static BOOL CALLBACK start(INIT_ONCE *once, void *parameter, void **context)
{
    char routes[4096];
    read_key_routes(routes, sizeof(routes));
    PpdevStart(routes, debug_line);
    return TRUE;
}

short WINAPI Inp32(short port)
{
    InitOnceExecuteOnce(&started, start, NULL, NULL);
    return PpdevRead((unsigned short)port);
}

void WINAPI Out32(short port, short data)
{
    InitOnceExecuteOnce(&started, start, NULL, NULL);
    PpdevWrite((unsigned short)port, (unsigned char)data);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *reserved)
{
    if (reason == DLL_PROCESS_DETACH) PpdevStop();
    return TRUE;
}
