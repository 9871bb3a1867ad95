/** @file
 * Marks what FonexaCore exports; everything else in the library stays hidden. */
#ifndef FONEXA_FONEXAAPI_H
#define FONEXA_FONEXAAPI_H

/** The export marker of the engine's functions and classes. */
#define FONEXA_API __attribute__((visibility("default")))

#ifdef __cplusplus
/** C linkage for a declaration shared by C and C++. */
#define FONEXA_EXTERN_C extern "C"
#else
#define FONEXA_EXTERN_C
#endif

#endif
