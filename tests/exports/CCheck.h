/* A counting check for the C test programs; they end by printing the
 * "N passed, N failed" line. */
#ifndef FONEXA_TESTS_CCHECK_H
#define FONEXA_TESTS_CCHECK_H

#include <stdio.h>

static int passed = 0;
static int failed = 0;

#define CHECK(cond)                                                            \
  do {                                                                         \
    if (cond) {                                                                \
      ++passed;                                                                \
    } else {                                                                   \
      ++failed;                                                                \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
    }                                                                          \
  } while (0)

#endif
