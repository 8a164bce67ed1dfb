#pragma once

// Docrun: opens a document with the application the desktop associates with its type.

#include <stdint.h>

#if defined(_WIN32)
#define DOCRUN_CALL __stdcall
#if !defined(DOCRUN_BUILDING)
#define DOCRUN_API __declspec(dllimport)
#elif defined(__GNUC__)
#define DOCRUN_API __declspec(dllexport)
#else
#define DOCRUN_API // exported by Docrun.def, which gives the plain name
#endif
#else
#define DOCRUN_CALL
#define DOCRUN_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Runs "application document" through the command interpreter, the application path with its
// folder names shortened to have no spaces, and returns what the interpreter call returned. The
// document path is passed on as it is, unquoted. Returns -1 and runs nothing when there is no
// associated application, when the document path is longer than 63 characters, a folder name
// longer than 63 or the command line longer than 255, when either path holds a character the
// command interpreter would not take as part of a word, or a word of either path (at its start or
// after white space) starts with '#' or '~'. Never throws: any failure inside returns -1.
DOCRUN_API int32_t DOCRUN_CALL Acro(const char *document);

#ifdef __cplusplus
}
#endif
