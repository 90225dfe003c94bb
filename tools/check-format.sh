#!/usr/bin/env bash
# Checks every tracked C++ file (.cpp and .h) against the committed .clang-format, without changing
# any, and fails naming those that are not formatted. `clang-format -i FILE ...` formats them.
# Usage: tools/check-format.sh
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-missing.sh clang-format git

files=()
while IFS= read -r -d '' file; do
    # A tracked file deleted in the working tree has nothing to check.
    if [ -f "$file" ]; then
        files+=("$file")
    fi
done < <(git ls-files -z -- '*.cpp' '*.h')

unformatted=()
for file in "${files[@]}"; do
    if ! clang-format --style=file --dry-run -Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done

if [ ${#unformatted[@]} -gt 0 ]; then
    {
        echo "Formatkontroll: ${#unformatted[@]} av ${#files[@]} filer följer inte .clang-format:"
        printf '    %s\n' "${unformatted[@]}"
        echo "Formatera dem med: clang-format -i$(printf ' %q' "${unformatted[@]}")"
    } >&2
    exit 1
fi
echo "Formatkontroll: alla ${#files[@]} filer följer .clang-format ($(clang-format --version))." >&2
