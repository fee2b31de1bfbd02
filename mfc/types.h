// Basic Windows-style types, debug macros and POSITION for the MFC-compatible
// layer. On Windows they come from <windows.h>; natively we define the few the
// suite's platform-neutral code needs, with the same sizes and meanings.
// The suite is ANSI throughout: TCHAR is char and _T() is a no-op.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)

#include <windows.h>
#include <tchar.h>

#else

typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int INT;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef uint32_t ULONG;

typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;

typedef char CHAR;
typedef char TCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BYTE* LPBYTE;

#define _T(x) x
#define TEXT(x) x

#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#endif // _WIN32

// Opaque iterator of the list classes: the address of a list node.
struct QuorbelListPosition;
typedef QuorbelListPosition* POSITION;

// Checks on the caller's side. Active in builds without NDEBUG; the classes
// still keep misuse defined (no stray writes) when they are compiled out.
#ifndef ASSERT
#ifdef NDEBUG
#define ASSERT(f) ((void)0)
#else
#define ASSERT(f) assert(f)
#endif
#endif

#ifndef VERIFY
#ifdef NDEBUG
#define VERIFY(f) ((void)(f))
#else
#define VERIFY(f) assert(f)
#endif
#endif

#ifndef TRACE
#define TRACE(...) ((void)0)
#endif

#ifndef DEBUG_NEW
#define DEBUG_NEW new
#endif

// printf-style checking for members taking (format, ...); the index counts
// the implicit 'this' as argument 1.
#if defined(__MINGW32__)
#define QUORBEL_PRINTF_LIKE(fmt, first) __attribute__((format(gnu_printf, fmt, first)))
#elif defined(__GNUC__)
#define QUORBEL_PRINTF_LIKE(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define QUORBEL_PRINTF_LIKE(fmt, first)
#endif
