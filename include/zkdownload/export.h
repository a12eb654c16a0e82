// Symbol visibility for the zkdownload shared library.
#pragma once

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
