#include "format.h"

#include <stdarg.h>

// Digits of a number in `text`, at least `width` of them; answers the end.
static char* Digits(char* text, uint32_t n, int32_t width) {
  char reversed[10];
  int32_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n);
  while (count < width) reversed[count++] = '0';
  while (count) *text++ = reversed[--count];
  return text;
}

int32_t Format(char* text, const char* pattern, ...) {
  va_list fields;
  va_start(fields, pattern);
  char* end = text;
  for (const char* p = pattern; *p; ++p) {
    if (*p != '%') {
      *end++ = *p;
      continue;
    }
    int32_t width = p[1] == '0' ? p[2] - '0' : 0;
    if (width) p += 2;
    char kind = *++p;
    if (!kind) break;
    if (kind == 's') {
      for (const char* s = va_arg(fields, const char*); *s; ++s) *end++ = *s;
      continue;
    }
    uint32_t n = va_arg(fields, uint32_t);
    if (kind == 'd' && static_cast<int32_t>(n) < 0) {
      *end++ = '-';
      n = 0u - n;
    }
    end = Digits(end, n, width);
  }
  va_end(fields);
  *end = 0;
  return static_cast<int32_t>(end - text);
}
