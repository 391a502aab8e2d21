/* The port I/O library's logic as the Windows side calls it: plain C, so
   that the Winelib exports need no C++ and the logic no Windows headers. */
#ifndef PINLORN_PPDEV_LIBRARY_API_H
#define PINLORN_PPDEV_LIBRARY_API_H

#ifdef __cplusplus
#define PPDEV_NOEXCEPT noexcept
extern "C" {
#else
#define PPDEV_NOEXCEPT
#endif

typedef void (*PpdevLineSink)(const char* line);

/* Sets the library up, once, before the first access: keyRoutes holds the
   routes of Wine's ppdev key ("378=/dev/parport1,..."), debugChannel takes
   each failure line (which also goes to standard error). */
void PpdevStart(const char* keyRoutes, PpdevLineSink debugChannel) PPDEV_NOEXCEPT;
unsigned char PpdevRead(unsigned short port) PPDEV_NOEXCEPT;
void PpdevWrite(unsigned short port, unsigned char value) PPDEV_NOEXCEPT;
/* Releases every claimed port. */
void PpdevStop(void) PPDEV_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
