// A C host: calls each function of vesnik.h once, looking contacts up in the
// default book (AddressBook.CDIR beside the library), and prints what it got.
// It uses nothing but vesnik.h and, on Windows, kernel32, so that it also
// builds for the MSVC ABI with no C runtime at all.
#include <vesnik.h>

#ifdef _WIN32
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* bytes, unsigned long size,
                                              unsigned long* written, void* overlapped);
__declspec(dllimport) unsigned long __stdcall GetLastError(void);
#define REASON GetLastError()
#else
#include <errno.h>
#include <unistd.h>
#define REASON errno
#endif

static void text(const char* text) {
    size_t size = 0;
    while (text[size] != '\0') {
        ++size;
    }
#ifdef _WIN32
    unsigned long written;
    WriteFile(GetStdHandle((unsigned long)-11), text, (unsigned long)size, &written, 0);
#else
    (void)!write(1, text, size);
#endif
}

// The status, then a contact a line, its fields between bars and an absent
// one as "-"; frees the list, read here: after the call that set it.
static void show(const char* call, int status, vesnik_list** out) {
    vesnik_list* list = *out;
    size_t i, f;
    text(call);
    text(": ");
    text(vesnik_status_text(status));
    for (i = 0; i < vesnik_list_size(list); ++i) {
        const vesnik_contact* c = vesnik_list_at(list, i);
        const char* fields[5] = {c->field1, c->field2, c->email, c->contact_id, c->field5};
        for (f = 0; f < 5; ++f) {
            text(f == 0 ? "\n  " : "|");
            text(fields[f] != NULL ? fields[f] : "-");
        }
    }
    text("\n");
    vesnik_list_free(list);
}

static int host(void) {
    static const char* const ids[] = {"K3", NULL, "", "K1", "K3"};
    char cut[5] = "xxxx";
    vesnik_list* list = NULL;
    int status;
    text(vesnik_version() == VESNIK_VERSION_NUMBER ? "version as built\n" : "other version\n");
    // Like snprintf: nothing written into no room, a path cut to fit.
    text(vesnik_default_book(cut, 0) == vesnik_default_book(cut + 1, sizeof cut - 1) &&
                 cut[0] == 'x' && cut[4] == '\0'
             ? "default book named, cut to fit\n"
             : "default book misnamed\n");
    show("all", vesnik_all(NULL, &list), &list);
    show("email ann@EXAMPLE.org", vesnik_find_email(NULL, "ann@EXAMPLE.org", 0, &list), &list);
    show("ids K3 K1", vesnik_find_ids(NULL, ids, 5, 0, &list), &list);
    show("search example.ORG a, first two", vesnik_search(NULL, "\texample.ORG  a", 2, &list),
         &list);
    // Fullwidth L, e with an acute accent, E.
    show("folded search for LEE as written otherwise",
         vesnik_search_v2(NULL,
                          "\xEF\xBC\xAC\xC3\xA9"
                          "E",
                          VESNIK_FOLD_CASE | VESNIK_FOLD_MARKS, 0, &list),
         &list);
    show("search with an unknown flag", vesnik_search_v2(NULL, "a", 0x80u, 0, &list), &list);
    status = vesnik_find_email("no such book", "ann@example.org", 0, &list);
    text(REASON == 2 ? "reason: no such file\n" : "reason: other\n");
    show("missing book", status, &list);
    return 0;
}

#ifdef VESNIK_HOST_NO_C_RUNTIME
__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);

// The linker's entry point: there is no C runtime to call main.
void __cdecl host_start(void) {
    ExitProcess((unsigned int)host());
}
#else
int main(void) {
    return host();
}
#endif
