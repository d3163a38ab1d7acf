#!/usr/bin/env bash
# The manual page and the completions that the build made: every option that
# --help lists is in each, the page renders without a warning, each script
# is valid for its shell, and completion completes what it should.
# Usage: cli_docs_test.sh QUILLMERE-CLI DOCS-FOLDER
set -euo pipefail
cli=$1
docs=$2
fail() { printf 'cli_docs: %s\n' "$*" >&2; exit 1; }

man_page=$docs/man/quillmere-cli.1
bash_script=$docs/bash/quillmere-cli
zsh_script=$docs/zsh/_quillmere-cli
fish_script=$docs/fish/quillmere-cli.fish

warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$man_page" 2>&1)
[[ -z $warnings ]] || fail "the manual page has warnings: $warnings"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS 'EXIT STATUS' EXAMPLES; do
  grep -qx "\.SH $section" "$man_page" || fail "the manual page has no $section"
done

options=$("$cli" --help | grep -E '^  -' | grep -oE -- '^  (-[a-z0-9], )?--?[a-z0-9-]+' | grep -oE -- '--?[a-z0-9-]+' | sort -u)
[[ $(wc -l <<<"$options") -gt 40 ]] || fail "--help lists too few options: $options"
for option in $options; do
  grep -qF -- "$(sed 's/-/\\-/g' <<<"$option")" "$man_page" || fail "$option is not in the manual page"
  grep -qwF -- "$option" "$bash_script" || fail "$option is not in the bash completion"
  grep -qF -- "'$option" "$zsh_script" || grep -qF -- "'*$option" "$zsh_script" ||
    fail "$option is not in the zsh completion"
  if [[ $option == --* ]]; then
    grep -qE -- "-l ${option#--}( |$)" "$fish_script" || fail "$option is not in the fish completion"
  fi
done

complete_bash() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _quillmere_cli
           echo "${COMPREPLY[*]}"' _ "$bash_script" "$@"
}
[[ " $(complete_bash quillmere-cli --repl) " == *" --replace "* ]] || fail "bash: --repl offers no --replace"
[[ $(complete_bash quillmere-cli --max-r) == --max-record ]] || fail "bash: --max-r is not --max-record"
[[ $(complete_bash quillmere-cli --color = al) == always ]] || fail "bash: --color=al is not always"
[[ -z $(complete_bash quillmere-cli --jobs "") ]] || fail "bash: --jobs offers words"

zsh -n "$zsh_script" || fail "the zsh completion is no valid zsh"
fish -n "$fish_script" || fail "the fish completion is no valid fish"
fish_words=$(fish -c "source '$fish_script'; complete -C 'quillmere-cli --max-r'" | cut -f1)
[[ $fish_words == --max-record ]] || fail "fish: --max-r gives $fish_words"
echo "cli_docs: ok"
