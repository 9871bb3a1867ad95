#!/bin/bash
# Checks of the man pages, run by ctest (tests/docs/CMakeLists.txt).
#
#   check-man-page.sh renders PAGE
#       groff reads the page without a single warning, and man renders it at
#       80 columns with its NAME, SYNOPSIS and DESCRIPTION, no line wider
#       than the terminal.
#   check-man-page.sh fonexa-commands PAGE PROGRAM
#       every command, subcommand and option PROGRAM's --help lists is named
#       in the page.
#   check-man-page.sh exit-codes PAGE HEADER
#       the EXIT STATUS section lists exactly the codes of the ExitCode enum
#       in HEADER.
#   check-man-page.sh event-names PAGE TABLE
#       every event name in the command's event table TABLE is named.
#   check-man-page.sh modemsim PAGE PROGRAM
#       every option and control command PROGRAM's --help lists is named.
#   check-man-page.sh tallix PAGE SOURCE
#       every command-line switch SOURCE defines is named.
set -u
export LC_ALL=C.UTF-8 MANWIDTH=80 MAN_KEEP_STDERR=1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The page as man shows it, formatting removed and runs of blanks made one
# space, so that a name broken over two lines by filling is still found.
rendered() { man -l "$1" 2>/dev/null | col -b; }
flat() { rendered "$1" | tr -s ' \n' '  '; }

requireNamed() { # page-text what name
  grep -qF -- "$3" <<<"$1" || fail "$2 \"$3\" is not named in the page"
}

for tool in man groff col perl; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

mode=$1
page=$2
[ -r "$page" ] || { echo "no page $page" >&2; exit 2; }

case $mode in
renders)
  warnings=$(groff -man -ww -z -Tutf8 "$page" 2>&1) || fail "groff failed on $page"
  [ -z "$warnings" ] || fail "groff warns on $page: $warnings"
  stderr=$(man -l "$page" 2>&1 >/dev/null)
  [ -z "$stderr" ] || fail "man -l $page writes to standard error: $stderr"
  text=$(rendered "$page")
  [ -n "$text" ] || fail "man -l $page renders nothing"
  for section in NAME SYNOPSIS DESCRIPTION; do
    grep -qx "$section" <<<"$text" || fail "$page has no $section section"
  done
  # Widths in characters, not bytes: the pages use typographic quotes.
  wide=$(perl -CSD -ne 'chomp; print "$.: $_\n" if length > 80' <<<"$text")
  [ -z "$wide" ] || fail "lines wider than 80 columns in $page:"$'\n'"$wide"
  ;;

fonexa-commands)
  program=$3
  text=$(flat "$page")
  # CLI11 lists subcommands under "Subcommands:" and options under
  # "Options:" (upper case in some versions), each entry indented by two
  # spaces, its names (aliases after a comma) before a run of blanks.
  entries() { # help-text section -> one entry a line, names joined by ","
    awk -v section="$2" '
      /^[A-Za-z]+:$/ { inside = (toupper($0) == toupper(section) ":"); next }
      inside && /^  [^ ]/ {
        sub(/^  /, ""); split($0, columns, /   */); names = columns[1]
        sub(/ .*/, "", names); gsub(/,/, " ", names)
        if (columns[1] ~ /, /) { names = columns[1]; gsub(/, /, ",", names) }
        print names }' <<<"$1"
  }
  options() { entries "$1" Options | tr ', ' '\n\n' | grep -- '^--' | grep -vx -- '--help\|--version'; }
  top=$("$program" --help) || { fail "$program --help failed"; top=""; }
  commands=$(entries "$top" Subcommands)
  [ -n "$commands" ] || fail "no subcommands read from $program --help"
  for option in $(options "$top"); do requireNamed "$text" option "$option"; done
  for command in $commands; do
    requireNamed "$text" command "$command"
    help=$("$program" "$command" --help) || { fail "$program $command --help failed"; continue; }
    for option in $(options "$help"); do requireNamed "$text" "option of $command" "$option"; done
    for names in $(entries "$help" Subcommands); do
      sub=${names%%,*}
      requireNamed "$text" command "$command $sub"
      aliases=${names#"$sub"}
      for alias in ${aliases//,/ }; do requireNamed "$text" "alias of $command $sub" "$alias"; done
      subHelp=$("$program" "$command" "$sub" --help) || { fail "$program $command $sub --help failed"; continue; }
      for option in $(options "$subHelp"); do requireNamed "$text" "option of $command $sub" "$option"; done
    done
  done
  ;;

exit-codes)
  header=$3
  expected=$(sed -n 's/^ *[A-Z][A-Za-z]* = \([0-9][0-9]*\),\{0,1\}.*/\1/p' "$header" | sort -n | tr '\n' ' ')
  [ -n "$expected" ] || fail "no exit codes read from $header"
  # The tags of the EXIT STATUS section: lines holding a number, then text.
  listed=$(rendered "$page" | awk '
      /^[A-Z][A-Z ]*$/ { inside = ($0 == "EXIT STATUS"); next }
      inside && /^       [0-9]+( |$)/ { print $1 }' | sort -n | tr '\n' ' ')
  [ "$listed" = "$expected" ] || fail "EXIT STATUS lists codes [$listed], the program has [$expected]"
  ;;

event-names)
  # The names monitor --events takes, from the command's table of events.
  table=$3
  text=$(flat "$page")
  names=$(sed -n '/kEventKinds\[\]/,/};/p' "$table" | grep -o '"[a-z_]*"' | tr -d '"')
  [ -n "$names" ] || fail "no event names read from $table"
  for name in $names; do requireNamed "$text" event "$name"; done
  ;;

modemsim)
  program=$3
  text=$(flat "$page")
  help=$("$program" --help) || fail "$program --help failed"
  opts=$(grep -o -- '^  --[a-z0-9-]*' <<<"$help")
  [ -n "$opts" ] || fail "no options read from $program --help"
  for option in $opts; do requireNamed "$text" option "$option"; done
  # Control commands: the first word of each entry, with its second word
  # for the fault family.
  controls=$(awk '
      /^Control commands/ { inside = 1; next }
      inside && /^$/ { inside = 0 }
      inside && /^  [a-z]/ { print ($1 == "fault" ? $1 " " $2 : $1) }' <<<"$help")
  [ -n "$controls" ] || fail "no control commands read from $program --help"
  while IFS= read -r control; do requireNamed "$text" "control command" "$control"; done <<<"$controls"
  ;;

tallix)
  source=$3
  text=$(flat "$page")
  switches=$(sed -n 's/.*kSwitch[A-Za-z]* = " *\(-[a-z]*\)".*/\1/p' "$source")
  [ -n "$switches" ] || fail "no switches read from $source"
  for switch in $switches; do requireNamed "$text" switch "$switch"; done
  ;;

*)
  echo "unknown mode $mode" >&2
  exit 2
  ;;
esac

[ "$failures" -eq 0 ]
