/* The software records of the file list benchmarks, in C so that the libxml2 peer builds its tree
 * from exactly the values the library writes. Every text is its element's name and the numbers of
 * its owner, zero-padded so that the record sets keep the order in which the items are made. */
#ifndef WI_BENCH_FILELIST_BENCH_DATA_H
#define WI_BENCH_FILELIST_BENCH_DATA_H

#include <stdint.h>
#include <stdio.h>

enum {
    kBenchSofts = 1000,
    kBenchFiles = 100, /* per software */
    kBenchDeps = 10,
    kBenchConfs = 10,
};

/* The text of element `name` of item `item` of software `soft`; item -1 is the software itself. */
static inline void BenchText(char* out, size_t size, const char* name, int soft, int item) {
    if (item < 0) {
        snprintf(out, size, "%s %04d", name, soft);
    } else {
        snprintf(out, size, "%s %04d-%03d", name, soft, item);
    }
}

/* Every integer value of an item (or of the software, item -1). */
static inline int BenchNumber(int soft, int item) { return (soft * 7 + item + 1) % 1000; }
/* Every flag of an item. */
static inline int BenchFlag(int item) { return item % 2; }
/* The size of a software: beyond 32 bits, as real sizes may be. */
static inline int64_t BenchSize(int soft) { return INT64_C(5000000000) + soft; }

#endif
