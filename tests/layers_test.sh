#!/bin/sh
# Each source folder includes only from itself and the folders it may use; an include
# that points up a layer fails with the file and line.
# Usage: layers_test.sh SRC_DIR
src=${1:?source folder}
core="engine bigfile richtext export exercise stats analysis"

allowed() {
  case $1 in
    engine) echo "" ;;
    bigfile|richtext|export|exercise) echo "engine" ;;
    stats) echo "engine export" ;;
    analysis) echo "engine export stats" ;;
    cli) echo "$core" ;;
    ui|browser) echo "" ;;
    editor) echo "ui $core" ;;
    app) echo "editor ui browser $core" ;;
    *) echo "?" ;;
  esac
}

status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  may=$(allowed "$folder")
  if [ "$may" = "?" ]; then
    echo "$folder: a folder the layer table does not know"
    status=1
    continue
  fi
  # Every quoted include names its folder first: "engine/codepage.h".
  for hit in $(grep -Hno '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]*/' "$dir"*.h "$dir"*.cpp 2>/dev/null |
               sed 's/[[:space:]]//g; s/#include"//; s/\/$//'); do
    used=${hit##*:}
    [ "$used" = "$folder" ] && continue
    case " $may " in *" $used "*) continue ;; esac
    echo "${hit%:*}: $folder may not include from $used"
    status=1
  done
done
exit $status
