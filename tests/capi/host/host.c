/* A C host of the installed library: looks contacts up in the default book
 * (AddressBook.CDIR beside the library) and prints what it got. The same
 * source builds on Linux and for Windows, there also for the MSVC ABI with
 * no C runtime at all: it uses nothing but vesnik.h and, on Windows,
 * kernel32. */
#include <vesnik.h>

#ifdef _WIN32
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* bytes, unsigned long size,
                                              unsigned long* written, void* overlapped);
__declspec(dllimport) unsigned long __stdcall GetLastError(void);

static void put(const char* text, size_t size) {
    unsigned long written;
    WriteFile(GetStdHandle((unsigned long)-11), text, (unsigned long)size, &written, 0);
}

static unsigned long reason(void) {
    return GetLastError();
}
#else
#include <errno.h>
#include <stdio.h>

static void put(const char* text, size_t size) {
    fwrite(text, 1, size, stdout);
}

static unsigned long reason(void) {
    return (unsigned long)errno;
}
#endif

static size_t length(const char* text) {
    size_t n = 0;
    while (text[n] != '\0') {
        ++n;
    }
    return n;
}

static void text(const char* text) {
    put(text, length(text));
}

static void number(unsigned long value) {
    char digits[24];
    size_t at = sizeof digits;
    do {
        digits[--at] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0);
    put(digits + at, sizeof digits - at);
}

/* Prints the status, then each contact on a line, its fields between bars
 * and an absent one as "-"; frees the list. */
static void show(const char* call, int status, vesnik_list* list) {
    size_t i;
    text(call);
    text(": ");
    text(vesnik_status_text(status));
    text("\n");
    for (i = 0; i < vesnik_list_size(list); ++i) {
        const vesnik_contact* contact = vesnik_list_at(list, i);
        const char* fields[5];
        size_t f;
        fields[0] = contact->field1;
        fields[1] = contact->field2;
        fields[2] = contact->email;
        fields[3] = contact->contact_id;
        fields[4] = contact->field5;
        for (f = 0; f < 5; ++f) {
            text(f == 0 ? "  " : "|");
            text(fields[f] != NULL ? fields[f] : "-");
        }
        text("\n");
    }
    vesnik_list_free(list);
}

static int host(void) {
    static const char* const ids[] = {"K3", NULL, "", "K1", "K3"};
    static const char tail[] = "AddressBook.CDIR";
    char cut[5] = "xxxx";
    size_t const whole = vesnik_default_book(NULL, 0);
    size_t const cutLength = vesnik_default_book(cut, sizeof cut);
    vesnik_list* list = NULL;
    int status;

    text("version ");
    number((unsigned long)vesnik_version());
    text(vesnik_version() == VESNIK_VERSION_NUMBER ? " as built\n" : " unlike the header\n");
    text(whole > length(tail) && cutLength == whole && length(cut) == 4 ? "default book found\n"
                                                                        : "no default book\n");

    status = vesnik_all(NULL, &list);
    show("all", status, list);
    status = vesnik_find_email(NULL, "ann@EXAMPLE.org", 0, &list);
    show("email ann@EXAMPLE.org", status, list);
    status = vesnik_find_ids(NULL, ids, sizeof ids / sizeof ids[0], 1, &list);
    show("ids K3 K1, first", status, list);
    status = vesnik_find_ids(NULL, ids, sizeof ids / sizeof ids[0], 0, &list);
    show("ids K3 K1", status, list);
    status = vesnik_find_email(NULL, NULL, 0, &list);
    show("email NULL", status, list);
    status = vesnik_find_email("no such book", "ann@example.org", 0, &list);
    show("missing book", status, list);
    text("reason ");
    number(reason());
    text(list == NULL ? ", no list\n" : ", a list\n");
    return 0;
}

#if defined(VESNIK_HOST_NO_C_RUNTIME)
__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);

/* The entry point the linker is told of: there is no C runtime to call main. */
void __cdecl host_start(void) {
    ExitProcess((unsigned int)host());
}
#else
int main(void) {
    return host();
}
#endif
