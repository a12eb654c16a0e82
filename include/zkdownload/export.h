/* Symbol visibility for the zkdownload shared library: the library is built
 * with hidden visibility, and only what carries ZK_API is exported. Usable
 * from C89, C99 and C++. */
#ifndef ZKDOWNLOAD_EXPORT_H
#define ZKDOWNLOAD_EXPORT_H

#if defined(__GNUC__)
#define ZK_API __attribute__((visibility("default")))
#else
#define ZK_API
#endif

#ifdef __cplusplus
#define ZK_EXTERN_C extern "C"
#else
#define ZK_EXTERN_C
#endif

#endif /* ZKDOWNLOAD_EXPORT_H */
