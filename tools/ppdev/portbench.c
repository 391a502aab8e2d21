/* portbench [CALLS]: what one Inp32 and one Out32 of the port I/O library
   cost, in microseconds per call, timed over CALLS calls of each (default
   100000) in samples of 100 calls: the clock is read around a sample, not
   around each call. The port is claimed before the timing starts.
   scripts/bench runs it with the ppdev double in place of a real port. */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <windef.h>
#include <winbase.h>

#define CALLS_PER_SAMPLE 100

typedef short (WINAPI *inp32_function)(short);
typedef void (WINAPI *out32_function)(short, short);

static inp32_function inp32;
static out32_function out32;

static int compare(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

static void time_calls(const char *label, int write, int samples)
{
    LARGE_INTEGER frequency, start, stop;
    double *times = malloc(samples * sizeof(*times)), sum = 0;
    int i, n;

    QueryPerformanceFrequency(&frequency);
    for (i = 0; i < samples; i++)
    {
        QueryPerformanceCounter(&start);
        for (n = 0; n < CALLS_PER_SAMPLE; n++)
        {
            if (write) out32(0x378, (short)(n & 0xFF));
            else inp32(0x379);
        }
        QueryPerformanceCounter(&stop);
        times[i] = (double)(stop.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart / CALLS_PER_SAMPLE;
        sum += times[i];
    }
    qsort(times, samples, sizeof(*times), compare);
    printf("%-34s each: median %7.3f us, worst %8.3f us, mean %7.3f us\n", label,
           times[samples / 2], times[samples - 1], sum / samples);
    free(times);
}

int main(int argc, char **argv)
{
    int calls = argc == 2 ? atoi(argv[1]) : 100000;
    HMODULE library;

    if (argc > 2 || calls < CALLS_PER_SAMPLE)
    {
        fprintf(stderr, "usage: portbench [CALLS], CALLS at least %d\n", CALLS_PER_SAMPLE);
        return 2;
    }
    library = LoadLibraryA(PORT_LIBRARY);
    if (!library)
    {
        fprintf(stderr, "portbench: cannot load %s (error %u)\n", PORT_LIBRARY, (unsigned)GetLastError());
        return 1;
    }
    inp32 = (inp32_function)(void *)GetProcAddress(library, "Inp32");
    out32 = (out32_function)(void *)GetProcAddress(library, "Out32");
    if (!inp32 || !out32)
    {
        fprintf(stderr, "portbench: %s lacks Inp32 or Out32\n", PORT_LIBRARY);
        FreeLibrary(library);
        return 1;
    }
    inp32(0x379);
    printf("%d calls each, through %s\n", calls, PORT_LIBRARY);
    time_calls("one read (Inp32 of SR):", 0, calls / CALLS_PER_SAMPLE);
    time_calls("one write (Out32 to DR):", 1, calls / CALLS_PER_SAMPLE);
    /* The C library's buffers are not flushed when the Windows process ends. */
    fflush(stdout);
    /* Unloading releases the port, as a program's end would. */
    FreeLibrary(library);
    return 0;
}
