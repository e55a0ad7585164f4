#!/usr/bin/env bash
# Runs the examples of the manual pages against the built programs, so that
# the pages show nothing the programs do not do.
#
# Usage: run_examples.sh TOOLS_DIR PAGE...
#
# TOOLS_DIR holds <program>/<program> for each program (the build tree's
# tools/). In a page, every display between .EX and .EE is one of two kinds:
#
#   - a file: the display follows the comment line
#         .\" example file: NAME
#     and its text is the content of NAME, which every page's examples can use;
#   - a session: lines that start with "$ " are commands (a command continues
#     on lines that start with "> "), and the lines after a command, up to the
#     next command or the end of the display, are exactly what it prints on
#     standard output and standard error together.
#
# A display of neither kind fails the test, and so does a command whose exit
# status is not 0 (an example shows another status with "; echo $?").
#
# A Markdown file (*.md) can be given too: there, an indented block (four
# blanks) whose first line starts with "$ " is a session; other blocks are
# not examined.
#
# Each page runs in a directory of its own that holds every example file and
# drive.gpl, made by logpack from the listing drive.txt, with TZ=UTC and the
# C locale.
set -uo pipefail

if (($# < 2)); then
    echo "usage: $0 TOOLS_DIR PAGE..." >&2
    exit 2
fi
tools="$(cd "$1" && pwd)"
shift
pages=("$@")

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/fixture" "$work/home"

path="$tools:/usr/bin:/bin"
run_env=(env -i "PATH=$path" "HOME=$work/home" TZ=UTC LC_ALL=C)

# The sessions of a Markdown file as example displays.
markdown_sessions() {
    awk '
        /^    / {
            if (!block)
                session = substr($0, 5, 2) == "$ "
            block = 1
            if (session) {
                if (!open) print ".EX"
                open = 1
                print substr($0, 5)
            }
            next
        }
        {
            if (open) print ".EE"
            block = open = session = 0
        }
        END { if (open) print ".EE" }
    ' "$1"
}

# Splits one page into its example files (into the fixture) and its sessions
# (numbered .cmd and .out files); prints an error line for anything else.
extract() {
    local page="$1" into="$2" source="$1"
    if [[ "$page" == *.md ]]; then
        source="$work/$(basename "$page").roff"
        markdown_sessions "$page" >"$source"
    fi
    awk -v into="$into" -v fixture="$work/fixture" -v page="$page" '
        function fail(message) {
            printf "%s:%d: %s\n", page, FNR, message
            failed = 1
        }
        # The roff escapes that example displays may use.
        function unroff(s,    out, i, c, n) {
            gsub(/\\f[BIRP]/, "", s)
            gsub(/\\-/, "-", s)
            gsub(/\\&/, "", s)
            gsub(/\\\(dq/, "\"", s)
            gsub(/\\\(aq/, "\047", s)
            gsub(/\\\(ga/, "`", s)
            gsub(/\\\(ti/, "~", s)
            gsub(/\\\(ha/, "^", s)
            out = ""
            n = length(s)
            for (i = 1; i <= n; i++) {
                c = substr(s, i, 1)
                if (c == "\\") {
                    if (substr(s, i + 1, 1) == "e") {
                        out = out "\\"
                        i++
                    } else {
                        fail("unsupported escape in an example: " substr(s, i, 3))
                    }
                } else {
                    out = out c
                }
            }
            return out
        }
        /^\.\\" example file: / {
            pending = $0
            sub(/^\.\\" example file: /, "", pending)
            next
        }
        /^\.EX/ {
            inside = 1
            kind = pending != "" ? "file" : "new"
            target = pending
            pending = ""
            if (kind == "file")
                printf "" > (fixture "/" target)
            next
        }
        /^\.EE/ {
            if (kind == "new")
                fail("empty example display")
            inside = 0
            next
        }
        !inside { next }
        /^[.\047]/ {
            fail("roff request inside an example display: " $0)
            next
        }
        {
            line = unroff($0)
            if (kind == "file") {
                print line >> (fixture "/" target)
                next
            }
            if (substr(line, 1, 2) == "$ ") {
                count++
                command = sprintf("%s/%03d.cmd", into, count)
                output = sprintf("%s/%03d.out", into, count)
                printf "%s\n", substr(line, 3) > command
                printf "" > output
                kind = "command"
            } else if (kind == "command" && substr(line, 1, 2) == "> ") {
                printf "%s\n", substr(line, 3) >> command
            } else if (kind == "new") {
                fail("an example display that is neither a file nor starts with \"$ \"")
                kind = "bad"
            } else if (kind != "bad") {
                print line >> output
                kind = "output"
            }
        }
        END {
            if (count == 0)
                fail("no example command")
            exit failed
        }
    ' "$source"
}

failures=0
commands=0
for page in "${pages[@]}"; do
    name="$(basename "$page")"
    mkdir -p "$work/pages/$name"
    if ! extract "$page" "$work/pages/$name"; then
        failures=$((failures + 1))
    fi
done

if [[ -f "$work/fixture/drive.txt" ]]; then
    (cd "$work/fixture" && "${run_env[@]}" logpack drive.txt drive.gpl >/dev/null) ||
        { echo "FAIL: logpack could not make drive.gpl from the example listing"; exit 1; }
fi

for page in "${pages[@]}"; do
    name="$(basename "$page")"
    dir="$work/run/$name"
    mkdir -p "$dir"
    cp -R "$work/fixture/." "$dir/"
    for command in "$work/pages/$name"/*.cmd; do
        [[ -e "$command" ]] || continue
        commands=$((commands + 1))
        expected="${command%.cmd}.out"
        actual="${command%.cmd}.actual"
        (cd "$dir" && "${run_env[@]}" bash -c "$(cat "$command")") >"$actual" 2>&1
        status=$?
        if ((status != 0)); then
            echo "FAIL: $name: exit status $status from:"
            sed 's/^/    $ /' "$command"
            failures=$((failures + 1))
        fi
        if ! cmp -s "$expected" "$actual"; then
            echo "FAIL: $name: the output differs from the page (- page, + program):"
            sed 's/^/    $ /' "$command"
            diff -u "$expected" "$actual" | tail -n +3
            failures=$((failures + 1))
        fi
    done
done

echo "$commands example commands in ${#pages[@]} pages"
if ((failures > 0)); then
    echo "$failures example(s) failed"
    exit 1
fi
