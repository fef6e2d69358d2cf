/* vesnik: read-only lookups in a plain-text address book, with C linkage.
 *
 * Every lookup reads the book anew. On VESNIK_OK it sets *out to a new list
 * (empty when nothing matched) that the caller releases with
 * vesnik_list_free; the list owns every string it hands out, which live until
 * it is freed. On a negative status it sets *out to NULL, when out is not
 * NULL. After VESNIK_ERROR_OPEN or VESNIK_ERROR_READ the system's reason is
 * in errno (Linux) or GetLastError() (Windows).
 *
 * A NULL book selects "AddressBook.CDIR" in the directory of this library's
 * own file. Every function is thread-safe.
 *
 * This header compiles as C99 and as C++. */
#ifndef VESNIK_H
#define VESNIK_H

#include <stddef.h>

/* This release's version, which the build writes from the CMake project's. */
/* clang-format off */
#define VESNIK_VERSION_MAJOR @PROJECT_VERSION_MAJOR@
#define VESNIK_VERSION_MINOR @PROJECT_VERSION_MINOR@
#define VESNIK_VERSION_PATCH @PROJECT_VERSION_PATCH@
#define VESNIK_VERSION_NUMBER @vesnik_version_number@ /* MAJOR * 10000 + MINOR * 100 + PATCH */
/* clang-format on */

/* VESNIK_C_API marks the exported functions; VESNIK_C_CALL their calling
 * convention, fixed so that hosts built with other defaults still match. */
#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(VESNIK_C_BUILDING)
#define VESNIK_C_API __declspec(dllexport)
#else
#define VESNIK_C_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) && __GNUC__ >= 4
#define VESNIK_C_API __attribute__((visibility("default")))
#else
#define VESNIK_C_API
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define VESNIK_C_CALL __cdecl
#else
#define VESNIK_C_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum vesnik_status {
    VESNIK_OK = 0,
    VESNIK_ERROR_OPEN = -1,     /* the book is missing, unreadable or a directory */
    VESNIK_ERROR_READ = -2,     /* reading the book failed part-way */
    VESNIK_ERROR_ARGUMENT = -3, /* a required pointer is NULL, or a flag unknown */
    VESNIK_ERROR_MEMORY = -4    /* out of memory; nothing was leaked */
};

typedef struct vesnik_contact {
    const char* field1;
    const char* field2;
    const char* email; /* as the file has it: not upper-cased */
    const char* contact_id;
    const char* field5; /* each NULL when the line had too few columns */
} vesnik_contact;

typedef struct vesnik_list vesnik_list; /* opaque; owns every string it hands out */

/* VESNIK_VERSION_NUMBER of the loaded library. */
VESNIK_C_API int VESNIK_C_CALL vesnik_version(void);
/* Static English text, never NULL. */
VESNIK_C_API const char* VESNIK_C_CALL vesnik_status_text(int status);
/* Like snprintf: the path's length; 0 when unknown. */
VESNIK_C_API size_t VESNIK_C_CALL vesnik_default_book(char* buffer, size_t size);

/* Every contact, whole, in file order. */
VESNIK_C_API int VESNIK_C_CALL vesnik_all(const char* book, vesnik_list** out);
/* Every contact whose contact_id equals one of ids[0..count) byte for byte,
 * in file order, each once; NULL and empty keys match nothing, ids may be
 * NULL only when count is 0. limit 0 means no limit; otherwise the scan stops
 * at the limit-th match. */
VESNIK_C_API int VESNIK_C_CALL vesnik_find_ids(const char* book, const char* const* ids,
                                               size_t count, size_t limit, vesnik_list** out);
/* Every contact whose email equals email, ASCII letter case ignored; email
 * NULL is VESNIK_ERROR_ARGUMENT. limit as for vesnik_find_ids. */
VESNIK_C_API int VESNIK_C_CALL vesnik_find_email(const char* book, const char* email, size_t limit,
                                                 vesnik_list** out);
/* Every contact where each word of text (words are split at spaces and
 * TABs) stands somewhere in field1, field2 or email, ASCII letter case
 * ignored and bytes outside ASCII compared exactly; each word may stand in
 * another field, in any order. Text without words matches every contact;
 * text NULL is VESNIK_ERROR_ARGUMENT. limit as for vesnik_find_ids. Since
 * 1.2.0. */
VESNIK_C_API int VESNIK_C_CALL vesnik_search(const char* book, const char* text, size_t limit,
                                             vesnik_list** out);

/* vesnik_search_v2's flags. */
/* Unicode full case folding, and the typographic apostrophes as ' */
#define VESNIK_FOLD_CASE 1u
/* compatibility decomposition, marks removed, and the letters that have no
 * decomposition as people type them without accents (docs/c-interface.md) */
#define VESNIK_FOLD_MARKS 2u

/* the best matches first, by vesnik_list_tier, each tier in file order,
 * tiers judged on the folded text; with a limit the whole book is read, and
 * only the best limit are kept */
#define VESNIK_RANK 4u

/* vesnik_search, with text and the searched fields folded as flags ask
 * before they are compared, then text split into words at any white space;
 * bytes outside well-formed UTF-8 are compared as themselves; the matches
 * ordered as flags ask. flags 0 is vesnik_search; an unknown flag is
 * VESNIK_ERROR_ARGUMENT. Since 1.3.0. */
VESNIK_C_API int VESNIK_C_CALL vesnik_search_v2(const char* book, const char* text, unsigned flags,
                                                size_t limit, vesnik_list** out);

/* 0 for NULL. */
VESNIK_C_API size_t VESNIK_C_CALL vesnik_list_size(const vesnik_list* list);
/* NULL past the end. */
VESNIK_C_API const vesnik_contact* VESNIK_C_CALL vesnik_list_at(const vesnik_list* list,
                                                                size_t index);
/* How well the contact at index fits a ranked search's text (VESNIK_RANK):
 * 1, each word begins a word of field1 or field2, or begins the e-mail; 2,
 * each begins a word of one of the three; 3, the rest. 0 past the end, for
 * NULL and for a list no ranked search made. Since 1.3.0. */
VESNIK_C_API int VESNIK_C_CALL vesnik_list_tier(const vesnik_list* list, size_t index);

/* NULL is fine. */
VESNIK_C_API void VESNIK_C_CALL vesnik_list_free(vesnik_list* list);

#ifdef __cplusplus
}
#endif

#endif /* VESNIK_H */
