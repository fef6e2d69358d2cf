#!/usr/bin/env bash
# Installs the Windows build into a fresh prefix; checks that vesnik.dll
# exports exactly the functions vesnik.h declares and imports only Windows'
# own DLLs; builds the C host against the installed header and import
# libraries twice, by MinGW gcc and for the MSVC ABI with no C runtime (clang
# and lld-link, kernel32 and vesnik.lib only), and runs both beside the
# installed vesnik.dll, with a book there as its default book.
#   windows-hosts.sh BUILD HOST_SOURCE MINGW_CC OBJDUMP EMULATOR...
# shellcheck disable=SC2034 # read by prefix.sh
emulator=("${@:5}")
# shellcheck source=tests/install/prefix.sh
source "$(dirname "$0")/../install/prefix.sh"
source=$2 mingw_cc=$3 objdump=$4
"$objdump" -p "$bin/vesnik.dll" >"$work/dll"
sed -n 's/^\tDLL Name: //p' "$work/dll" | tr 'A-Z' 'a-z' | sort >"$work/imported"
diff -u <(printf '%s\n' kernel32.dll msvcrt.dll) "$work/imported" >&2
grep -o 'vesnik_[a-z0-9_]*(' "$prefix/include/vesnik.h" | tr -d '(' | sort >"$work/declared"
sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\t\[ *[0-9]*\] //p' "$work/dll" | sort >"$work/exported"
diff -u "$work/declared" "$work/exported" >&2
cp "$source/book.cdir" "$bin/AddressBook.CDIR"
expected=$(<"$source/expected.txt")
flags=(-std=c99 -Wall -Wextra -pedantic -Werror -I"$prefix/include")

"$mingw_cc" "${flags[@]}" "$source/host.c" -L"$prefix/lib" -lvesnik -o "$work/mingw-host.exe"
check mingw "$expected" "$work/mingw-host.exe"

# The four kernel32 functions the host calls, as an import library; -k drops
# the stdcall decoration from the names it imports.
printf '%s\n' 'LIBRARY kernel32.dll' EXPORTS GetStdHandle@4 WriteFile@20 GetLastError@0 \
  ExitProcess@4 >"$work/kernel32.def"
llvm-dlltool-14 -m i386 -k -d "$work/kernel32.def" -l "$work/kernel32.lib"
clang-14 --target=i686-pc-windows-msvc -ffreestanding -DVESNIK_HOST_NO_C_RUNTIME "${flags[@]}" \
  -c "$source/host.c" -o "$work/msvc-host.obj"
lld-link-14 /nodefaultlib /safeseh:no /subsystem:console /entry:host_start \
  "$work/msvc-host.obj" "$prefix/lib/vesnik.lib" "$work/kernel32.lib" /out:"$work/msvc-host.exe"
check msvc "$expected" "$work/msvc-host.exe"
