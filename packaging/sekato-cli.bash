# bash completion for sekato-cli
_sekato_cli() {
  local cur prev
  COMPREPLY=()
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  case $prev in
    -m|--mode)
      mapfile -t COMPREPLY < <(compgen -W 'chapter size even' -- "$cur"); return ;;
    --numerals)
      mapfile -t COMPREPLY < <(compgen -W 'ascii fullwidth chinese' -- "$cur"); return ;;
    -e|--encoding)
      mapfile -t COMPREPLY < <(compgen -W 'auto gbk gb18030 big5 utf-8 utf-16le utf-16be' -- "$cur"); return ;;
    --to)
      mapfile -t COMPREPLY < <(compgen -W 'gbk gb18030 big5 utf-8 utf-16le utf-16be' -- "$cur"); return ;;
    -o|--out)
      mapfile -t COMPREPLY < <(compgen -d -- "$cur"); return ;;
    -n|--name|-k|--keywords|--title-max|-p|--per|--kb|--parts|--head|--tail|-j|--jobs)
      return ;;
  esac
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W '-m --mode -o --out -n --name --title-names
      -k --keywords --numerals --title-max -p --per --kb --keep-lines --parts --trim --no-ad
      --head --tail -e --encoding --to --list --json -j --jobs -q --quiet --version -h --help' -- "$cur")
    return
  fi
  # The source: text files and folders leading to them.
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -f -X '!*.@(txt|TXT)' -- "$cur"; compgen -d -- "$cur")
}
complete -F _sekato_cli sekato-cli
