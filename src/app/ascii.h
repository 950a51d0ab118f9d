// ascii.h: the two byte-level helpers every reader shares: ASCII case folding for names and
// little-endian integers from bytes. Only ASCII letters change case; other bytes stay.
#pragma once
#include <cstdint>

// Lower-case one ASCII letter.
inline int ascii_lower(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Lower-case a NUL-terminated text in place.
inline void lower_case(char *text) {
    for (; *text; text++) *text = char(ascii_lower((unsigned char)*text));
}

// True when two names are equal ignoring the case of ASCII letters, comparing at most
// `limit` bytes (a name that fills the limit has no terminator).
inline bool same_name(const char *a, const char *b, unsigned long limit = ~0ul) {
    for (unsigned long i = 0; i < limit; i++) {
        if (ascii_lower((unsigned char)a[i]) != ascii_lower((unsigned char)b[i])) return false;
        if (!a[i]) return true;
    }
    return true;
}

// Unsigned little-endian integer of `width` bytes (1 to 4).
inline uint32_t read_le(const uint8_t *bytes, int width) {
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; i--) value = (value << 8) | bytes[i];
    return value;
}
