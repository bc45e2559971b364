#!/usr/bin/env bash
# Checks a built module file the way the host will meet it, and prints what it found.
#   check_module_file.sh elf FILE            exports exactly _mod_descrip (dynamic symbol table) and
#                                            takes no elementary maths function from the C library
#   check_module_file.sh pe FILE OBJDUMP     a PE32 i386 DLL exporting exactly _mod_descrip and
#                                            importing only KERNEL32.dll and msvcrt.dll
set -uo pipefail
kind=$1 file=$2 objdump=${3:-objdump}
status=0
fail() { echo "FAIL: $*"; status=1; }

[ -f "$file" ] || { echo "FAIL: no module file at $file"; exit 1; }
echo "module file: $file"

if [ "$kind" = elf ]; then
  exports=$(nm -D --defined-only "$file" | awk '{print $NF}')
  echo "exports: $exports"
  [ "$exports" = "_mod_descrip" ] || fail "the only export must be _mod_descrip"
  # The C libraries' elementary functions round differently on each target; the module computes
  # them itself. Only sqrt and fmod, exact everywhere, may come from the system.
  math=$(nm -D --undefined-only "$file" | awk '{print $NF}' | sed 's/@.*//' |
    grep -x -E '(a?(sin|cos|tan)h?|atan2|pow|exp2?|expm1|log(10|2|1p)?|cbrt|hypot|sincos)[fl]?' | tr '\n' ' ')
  [ -z "$math" ] || fail "uses the system's elementary functions: $math"
  exit $status
fi

dump=$("$objdump" -p "$file") || { echo "FAIL: $objdump cannot read $file"; exit 1; }
headers=$("$objdump" -f "$file")
echo "$headers" | grep -q 'file format pei-i386' || fail "not a PE32 i386 file"
echo "$headers" | grep -q 'architecture: i386' || fail "not built for i386"
# IMAGE_FILE_DLL is characteristic 0x2000.
characteristics=$(echo "$dump" | awk '/^Characteristics/ {print $2; exit}')
[ $((${characteristics:-0} & 0x2000)) -ne 0 ] || fail "not a DLL (characteristics ${characteristics:-none})"

# The names follow the "[Ordinal/Name Pointer] Table" heading, one per line: "\t[   0] _mod_descrip".
exports=$(echo "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^[[:space:]]+\[/ {print $NF}')
echo "exports:"; echo "$exports" | sed 's/^/  /'
[ "$exports" = "_mod_descrip" ] || fail "the only export must be _mod_descrip"

imports=$(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
echo "imports:"; echo "$imports" | sed 's/^/  /'
[ -n "$imports" ] || fail "no import table found"
while read -r dll; do
  case "${dll,,}" in
    kernel32.dll | msvcrt.dll) ;;
    *) fail "imports a non-system DLL: $dll" ;;
  esac
done <<<"$imports"
exit $status
