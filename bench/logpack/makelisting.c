/* Writes a text listing of N track points, one second apart from
   1 June 2020 00:00:00 UTC, in the form logpack reads (each line with its
   leading number). The dates are UTC; run logpack with TZ=UTC to read them
   back to the same stamps. */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

int main(int argc, char** argv) {
    long n = argc > 1 ? atol(argv[1]) : 1000000;
    time_t stamp = 1590969600;
    char when[80];
    for (long i = 1; i <= n; ++i, ++stamp) {
        struct tm utc;
        gmtime_r(&stamp, &utc);
        strftime(when, sizeof when, "%d-%b-%Y, %H:%M:%S", &utc);
        printf("%ld:%ld, %.8f, %.8f, %s, %6.2f, %8.5f, %.5f\n", i, i % 1000, 46.9 + i * 1e-7,
               7.4 + i * 1e-7, when, (double)(i % 360), (i % 7000) / 100.0, 1700.0 + i % 300);
    }
    return 0;
}
