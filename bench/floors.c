/* The floors the benchmarks are compared with: the least work the same task cannot avoid.
 *   floors stat DIR NAMES       stat DIR/<name>.zip for every name in NAMES (one per line)
 *   floors prefix FILE          mmap FILE and test each line's first bytes, as a scanner must
 * Each prints the seconds of the measured loop only. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static int statFloor(const char* dir, const char* namesPath) {
    FILE* in = fopen(namesPath, "r");
    if (!in) {
        return 1;
    }
    size_t count = 0, capacity = 1 << 16;
    char** names = malloc(capacity * sizeof *names);
    char line[4096];
    while (fgets(line, sizeof line, in)) {
        line[strcspn(line, "\r\n")] = 0;
        if (count == capacity) {
            names = realloc(names, (capacity *= 2) * sizeof *names);
        }
        names[count++] = strdup(line);
    }
    fclose(in);
    char path[8192];
    long found = 0;
    const double start = now();
    for (size_t i = 0; i < count; ++i) {
        struct stat info;
        snprintf(path, sizeof path, "%s/%s.zip", dir, names[i]);
        found += stat(path, &info) == 0 && !S_ISDIR(info.st_mode);
    }
    printf("%.4f %zu %ld\n", now() - start, count, found);
    return 0;
}

static int prefixFloor(const char* file) {
    const double start = now();
    int fd = open(file, O_RDONLY);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        return 1;
    }
    const char* p = mmap(0, info.st_size, PROT_READ, MAP_PRIVATE, fd, 0);
    const char* end = p + info.st_size;
    long machines = 0, roms = 0;
    while (p < end) {
        const char* nl = memchr(p, '\n', end - p);
        if (!nl) {
            nl = end;
        }
        while (p < nl && (*p == ' ' || *p == '\t')) {
            p++;
        }
        if (nl - p > 9 && memcmp(p, "<machine ", 9) == 0) {
            machines++;
        } else if (nl - p > 5 && memcmp(p, "<rom ", 5) == 0) {
            roms++;
        }
        p = nl + 1;
    }
    printf("%.4f %ld %ld\n", now() - start, machines, roms);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "stat") == 0) {
        return statFloor(argv[2], argv[3]);
    }
    if (argc == 3 && strcmp(argv[1], "prefix") == 0) {
        return prefixFloor(argv[2]);
    }
    fprintf(stderr, "usage: floors stat DIR NAMES | floors prefix FILE\n");
    return 2;
}
