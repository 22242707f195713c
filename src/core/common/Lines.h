#pragma once

#include <QByteArrayView>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#define KESTRUM_LINES_AVX2 1
#endif

// Line splitting for large texts (emulator output of millions of lines): CR LF, LF and CR end a
// line; a break at the very end adds no empty line. Text without any CR takes a fast path that
// finds the line feeds sixty-four bytes at a time.
namespace lines_detail {

// Bit i of the result is set when block[i] == c.
inline uint64_t matchMask64(const char* block, char c) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    const auto part = [&](int at) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + at));
        return uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted))));
    };
    return part(0) | (part(16) << 16) | (part(32) << 32) | (part(48) << 48);
#else
    uint64_t mask = 0;
    for (int i = 0; i < 64; ++i) {
        mask |= uint64_t(block[i] == c) << i;
    }
    return mask;
#endif
}

// Calls visit(line) for every line ending in a line feed, finding the feeds with mask64(block).
template <typename Mask, typename Visit>
inline void forEachLineFeedLineUsing(Mask mask64, const char* base, size_t size, Visit& visit) {
    size_t lineStart = 0;
    size_t at = 0;
    for (; at + 64 <= size; at += 64) {
        uint64_t mask = mask64(base + at);
        while (mask) {
            const size_t position = at + size_t(__builtin_ctzll(mask));
            visit(QByteArrayView(base + lineStart, qsizetype(position - lineStart)));
            lineStart = position + 1;
            mask &= mask - 1;
        }
    }
    for (; at < size; ++at) {
        if (base[at] == '\n') {
            visit(QByteArrayView(base + lineStart, qsizetype(at - lineStart)));
            lineStart = at + 1;
        }
    }
    if (lineStart < size) {
        visit(QByteArrayView(base + lineStart, qsizetype(size - lineStart)));
    }
}

#if defined(KESTRUM_LINES_AVX2)
// With AVX2 the feeds of a block are found with two 32-byte compares. The whole loop, the caller's
// line handling included, is compiled for AVX2 (flatten) and chosen when the processor has it.
__attribute__((target("avx2"))) inline uint64_t matchMask64Avx2(const char* block) {
    const __m256i wanted = _mm256_set1_epi8('\n');
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32));
    return uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, wanted)))) |
           (uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, wanted)))) << 32);
}

template <typename Visit>
__attribute__((target("avx2"), flatten)) void forEachLineFeedLineAvx2(const char* base, size_t size,
                                                                      Visit& visit) {
    forEachLineFeedLineUsing(
        [](const char* block) __attribute__((target("avx2"))) { return matchMask64Avx2(block); }, base, size,
        visit);
}

inline bool hasAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}
#endif

template <typename Visit>
void forEachLineFeedLine(const char* base, size_t size, Visit& visit) {
#if defined(KESTRUM_LINES_AVX2)
    if (hasAvx2()) {
        forEachLineFeedLineAvx2(base, size, visit);
        return;
    }
#endif
    forEachLineFeedLineUsing([](const char* block) { return matchMask64(block, '\n'); }, base, size, visit);
}

template <typename Visit>
void forEachAnyBreakLine(const char* p, const char* end, Visit& visit) {
    while (p < end) {
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r') {
            ++lineEnd;
        }
        visit(QByteArrayView(p, lineEnd - p));
        if (lineEnd < end && *lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n') {
            ++lineEnd;
        }
        p = lineEnd + 1;
    }
}

}  // namespace lines_detail

inline bool containsCarriageReturn(QByteArrayView text) {
    return !text.isEmpty() && std::memchr(text.data(), '\r', size_t(text.size())) != nullptr;
}

// `hasCarriageReturn` lets a caller that already knows spare a pass over the text.
template <typename Visit>
void forEachLine(QByteArrayView text, Visit visit, int hasCarriageReturn = -1) {
    const size_t size = size_t(text.size());
    if (size == 0) {
        return;
    }
    if (hasCarriageReturn < 0) {
        hasCarriageReturn = containsCarriageReturn(text) ? 1 : 0;
    }
    if (!hasCarriageReturn) {
        lines_detail::forEachLineFeedLine(text.data(), size, visit);
    } else {
        lines_detail::forEachAnyBreakLine(text.data(), text.data() + size, visit);
    }
}

struct LineCount {
    qint64 lines = 0;
    bool hasCarriageReturn = false;
};

namespace lines_detail {

// Line feeds in [p, p + size) and whether any CR is among the bytes.
inline qint64 countLineFeeds(const char* p, size_t size, bool& carriageReturn) {
    if (!carriageReturn) {
        carriageReturn = std::memchr(p, '\r', size) != nullptr;
    }
    qint64 feeds = 0;
    size_t at = 0;
#if defined(__SSE2__)
    // Byte-wise counters (a compare gives -1 per match), four blocks of sixteen bytes a round,
    // summed before any of them can overflow.
    const __m128i lf = _mm_set1_epi8('\n');
    const auto load = [p](size_t offset) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + offset));
    };
    while (at + 64 <= size) {
        __m128i c0 = _mm_setzero_si128();
        __m128i c1 = _mm_setzero_si128();
        __m128i c2 = _mm_setzero_si128();
        __m128i c3 = _mm_setzero_si128();
        const size_t rounds = std::min<size_t>(255, (size - at) / 64);
        for (size_t i = 0; i < rounds; ++i, at += 64) {
            c0 = _mm_sub_epi8(c0, _mm_cmpeq_epi8(load(at), lf));
            c1 = _mm_sub_epi8(c1, _mm_cmpeq_epi8(load(at + 16), lf));
            c2 = _mm_sub_epi8(c2, _mm_cmpeq_epi8(load(at + 32), lf));
            c3 = _mm_sub_epi8(c3, _mm_cmpeq_epi8(load(at + 48), lf));
        }
        const __m128i zero = _mm_setzero_si128();
        const __m128i sums = _mm_add_epi64(_mm_add_epi64(_mm_sad_epu8(c0, zero), _mm_sad_epu8(c1, zero)),
                                           _mm_add_epi64(_mm_sad_epu8(c2, zero), _mm_sad_epu8(c3, zero)));
        feeds += _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
    }
#endif
    for (; at < size; ++at) {
        feeds += p[at] == '\n';
    }
    return feeds;
}

}  // namespace lines_detail

// The number of lines in one pass over the text, noting on the way whether it holds any CR.
inline LineCount countLines(QByteArrayView text) {
    const size_t size = size_t(text.size());
    if (size == 0) {
        return {};
    }
    bool carriageReturn = false;
    const qint64 feeds = lines_detail::countLineFeeds(text.data(), size, carriageReturn);
    if (carriageReturn) {
        qint64 lines = 0;
        forEachLine(
            text, [&lines](QByteArrayView) { ++lines; }, 1);
        return {lines, true};
    }
    return {feeds + (text[qsizetype(size - 1)] == '\n' ? 0 : 1), false};
}

// The lines of a file read in blocks of `blockSize` bytes into one reused buffer: far cheaper than
// mapping or reading a file of hundreds of megabytes whole. A leading UTF-8 byte-order mark is
// skipped. Each block is split by line feeds alone unless it holds a CR (a block without one splits
// the same either way). After each block `afterBlock(bytesRead)` is told how far the reading got.
// False when the file cannot be read to its end.
template <typename Visit, typename AfterBlock>
bool forEachLineOfFile(int fd, Visit visit, AfterBlock afterBlock, size_t blockSize = size_t(1) << 20) {
    std::vector<char> buffer(blockSize);
    size_t carried = 0;
    qint64 bytesRead = 0;
    bool first = true;
    while (true) {
        if (buffer.size() - carried < blockSize / 2) {
            buffer.resize(buffer.size() * 2);  // a line longer than the block
        }
        ssize_t got = ::read(fd, buffer.data() + carried, buffer.size() - carried);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        bytesRead += got;
        size_t size = carried + size_t(got);
        if (first && size < 3 && got > 0) {
            carried = size;  // too little to tell whether it starts with a byte-order mark
            continue;
        }
        if (first) {
            first = false;
            if (size >= 3 && std::memcmp(buffer.data(), "\xEF\xBB\xBF", 3) == 0) {
                std::memmove(buffer.data(), buffer.data() + 3, size - 3);
                size -= 3;
            }
        }
        if (got == 0) {
            forEachLine(QByteArrayView(buffer.data(), qsizetype(size)), visit);
            afterBlock(bytesRead);
            return true;
        }
        // Cut after the last break that cannot be the first half of a CR LF split by the block.
        size_t cut = size;
        while (cut > 0 && buffer[cut - 1] != '\n' && !(buffer[cut - 1] == '\r' && cut < size)) {
            --cut;
        }
        if (cut > 0) {
            forEachLine(QByteArrayView(buffer.data(), qsizetype(cut)), visit);
            carried = size - cut;
            std::memmove(buffer.data(), buffer.data() + cut, carried);
        } else {
            carried = size;
        }
        afterBlock(bytesRead);
    }
}
