#!/usr/bin/env bash
# Tessary benchmark on a 1 GiB public-domain English corpus: every task is timed on
# all the processors and on one (taskset), next to its peers (grep, ripgrep, ugrep,
# a tr|sort|uniq pipeline) in the same hyperfine run, then run once more under
# /usr/bin/time for its peak memory and the md5 of its output, which is checked
# against bench/expected-sums.txt (the output must not change when the code gets
# faster).
#
# Run as root on Debian 12 from anywhere:   sudo bench/run.sh
#   bench/run.sh --corpus-only   install the packages and build the corpus, then stop
#   bench/run.sh --sums          print each task's output md5 (for expected-sums.txt)
# Environment knobs:
#   RUNS=N       timed runs per command (default 3; one warmup run comes first)
#   ONLY="a b"   run only these tasks (names as in the summary: count-the, lines-right...)
#   RARE=WORD    the rare word to time (default: whale, see below)
#   TESSARY_CLI=PATH  time another tessary-cli build (default build/bin/tessary-cli,
#                built with CMake and Ninja if missing)
#   TESSARY_GUI_BENCH=PATH  the program's bench (default build/bin/tessary-gui-bench;
#                its task is left out when it is missing)
#
# Everything it writes goes to bench/work/ (git-ignored): the corpus, the
# extracted source texts, hyperfine's exports and the summary (summary.md).
# This is a benchmark, not a test: nothing here runs in the test suite.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WORK=$ROOT/bench/work
SRC=$WORK/src
PKG=$WORK/pkgs
CORPUS=$WORK/corpus-1g.txt
SIZE=1073741824 # exactly 1 GiB
CLI=${TESSARY_CLI:-$ROOT/build/bin/tessary-cli}
RUNS=${RUNS:-3}
GUI_BENCH=${TESSARY_GUI_BENCH:-$ROOT/build/bin/tessary-gui-bench}
STUDY=$WORK/corpus-200m.txt
STUDY_SIZE=209715200 # 200 MiB: the unique-word list and the keywords' study texts
FILES=$WORK/files-200m # the same 200 MiB as files of about 1 MiB each, cut at line ends
SUMS=$ROOT/bench/expected-sums.txt
FREQUENT=the
MIDDLING=lord
# 'whale' occurs 5 times in one copy of the source texts (KJV 3, Devil's
# Dictionary 1, Jargon File 1), so about 830 times in the 1 GiB corpus.
RARE=${RARE:-whale}

# Byte semantics for GNU grep (no multibyte case folding); ripgrep and ugrep
# ignore the locale and treat the input as UTF-8 either way.
export LC_ALL=C

log() { printf '\n== %s\n' "$*"; }
die() { printf 'run.sh: %s\n' "$*" >&2; exit 1; }

[[ $(id -u) -eq 0 ]] || die "run me as root (sudo bench/run.sh): I install packages with apt-get"

# --- 1. packages -------------------------------------------------------------
# Installed: the peers (grep, ripgrep, ugrep), hyperfine, the build chain, and
# bible-kjv (its 'bible' program decompresses bible-kjv-text's King James text).
# Only downloaded and unpacked into bench/work/pkgs, never installed:
#   dict-devil  - The Devil's Dictionary (Ambrose Bierce, 1911); installing it
#                 would pull in a dictionary server we don't want.
#   jargon-text - The Jargon File 4.4.7; its text lives under /usr/share/doc,
#                 which slim Debian images tell dpkg not to unpack.
# All three texts are public domain (see each package's copyright file).
# dict-gcide was considered and left out: GCIDE as a whole is GPL, not public domain.
APT_PKGS=(hyperfine ripgrep ugrep grep bible-kjv bible-kjv-text time util-linux
          cmake ninja-build g++ pkg-config libicu-dev libsqlite3-dev)
TEXT_DEBS=(dict-devil jargon-text)

install_packages() {
    local missing=() p
    for p in "${APT_PKGS[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if ((${#missing[@]})); then
        log "apt-get install ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

fetch_text_debs() {
    local p need=()
    for p in "${TEXT_DEBS[@]}"; do
        [[ -f $PKG/$p.unpacked ]] || need+=("$p")
    done
    ((${#need[@]})) || return 0
    log "apt-get download ${need[*]}"
    mkdir -p "$PKG/debs" "$PKG/root"
    apt-get update -qq
    (cd "$PKG/debs" && apt-get download -qq -o APT::Sandbox::User=root "${need[@]}")
    for p in "${need[@]}"; do
        local debs=("$PKG"/debs/"${p}"_*.deb)
        dpkg-deb -x "${debs[-1]}" "$PKG/root"
        touch "$PKG/$p.unpacked"
    done
}

# --- 2. corpus ---------------------------------------------------------------
# Line ends: all three texts use Unix line ends (LF only, no CR anywhere), and
# the corpus keeps them. The KJV and the Devil's Dictionary are pure ASCII;
# the Jargon File is UTF-8 (accented names, box-drawing table borders).
make_sources() {
    mkdir -p "$SRC"
    if [[ ! -s $SRC/kjv.txt ]]; then
        # One verse per line, prefixed with its reference ("Ge1:1 In the beginning ...").
        bible -f Gen1:1-Rev22:21 </dev/null >"$SRC/kjv.tmp"
        mv "$SRC/kjv.tmp" "$SRC/kjv.txt"
    fi
    if [[ ! -s $SRC/devil.txt ]]; then
        # The dictd data file is gzip-compatible. Drop the dictd headers before
        # the book's own title page and the trailing alphabet line, and unwrap
        # the {CROSS-REFERENCE} braces dictd added.
        zcat "$PKG/root/usr/share/dictd/devil.dict.dz" |
            sed -n '/Internet Wiretap 1st Online Edition/,$p' |
            grep -v '^ abcdefghijklmnopqrstuvwxyz$' |
            tr -d '{}' >"$SRC/devil.tmp"
        mv "$SRC/devil.tmp" "$SRC/devil.txt"
    fi
    if [[ ! -s $SRC/jargon.txt ]]; then
        zcat "$PKG/root/usr/share/doc/jargon-text/jargon.txt.gz" >"$SRC/jargon.tmp"
        mv "$SRC/jargon.tmp" "$SRC/jargon.txt"
    fi
}

make_corpus() {
    if [[ -f $CORPUS && $(stat -c %s "$CORPUS") -eq $SIZE ]]; then
        log "reusing $CORPUS"
        return
    fi
    make_sources
    log "assembling $CORPUS"
    # One unit is the three texts back to back (each ends with a newline); the
    # corpus repeats the unit and is cut at exactly 1 GiB, mid-line if need be.
    local unit=$WORK/unit.txt tmp=$CORPUS.tmp
    cat "$SRC/kjv.txt" "$SRC/devil.txt" "$SRC/jargon.txt" >"$unit"
    local usize copies i
    usize=$(stat -c %s "$unit")
    copies=$(((SIZE + usize - 1) / usize))
    for ((i = 0; i < copies; i++)); do cat "$unit"; done >"$tmp"
    truncate -s "$SIZE" "$tmp"
    mv "$tmp" "$CORPUS"
    printf 'unit: kjv %s + devil %s + jargon %s = %s bytes; %s copies, cut at %s bytes\n' \
        "$(stat -c %s "$SRC/kjv.txt")" "$(stat -c %s "$SRC/devil.txt")" \
        "$(stat -c %s "$SRC/jargon.txt")" "$usize" "$copies" "$SIZE"
    rm -f "$unit"
}

make_study() {
    [[ -f $STUDY && $(stat -c %s "$STUDY") -eq $STUDY_SIZE ]] || head -c "$STUDY_SIZE" "$CORPUS" >"$STUDY"
    if [[ ! -f $FILES/done ]]; then
        rm -rf "$FILES" && mkdir -p "$FILES"
        split -C 1048576 -d -a 3 --additional-suffix=.txt "$STUDY" "$FILES/part-"
        touch "$FILES/done"
    fi
}

# --- 3. build ----------------------------------------------------------------
build_cli() {
    [[ -x $CLI ]] && return
    log "building tessary-cli (Release)"
    cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Release
    ninja -C "$ROOT/build" tessary-cli
    [[ -x $CLI ]] || die "build finished but $CLI is missing"
}

# --- 4. the tasks ------------------------------------------------------------
# One line a task: name, target (free text for the summary), the tessary-cli
# arguments; the peers come from peers_of. CORPUS and STUDY are expanded when run.
TASKS=(
    "count-the|ratio <= 0.15|concord --count the CORPUS"
    "count-lord|ratio <= 0.10|concord --count lord CORPUS"
    "count-$RARE|ratio <= 0.6|concord --count $RARE CORPUS"
    "lines-none|ratio <= 0.5|concord --sort none lord CORPUS"
    "lines-right|<= 1.5 s, <= 400 MB|concord --sort right lord CORPUS"
    "words|<= 0.5 s|words STUDY"
    "words-files|(none)|words FILES"
    "collocation|< 5 s, < 1 GB|collocation --span 5,5 --min-freq 1 the CORPUS"
    "keywords|< 5 s|keywords --reference CORPUS STUDY"
    "collocation-files|(none)|collocation --span 5,5 --min-freq 1 the FILES"
    "plot|(none)|plot --table lord CORPUS"
)

q() { printf '%q' "$1"; }
expand() { local a=${1//CORPUS/$(q "$CORPUS")}; a=${a//FILES/$(q "$FILES")}; printf '%s' "${a//STUDY/$(q "$STUDY")}"; }

peers_of() { # task -> lines "name|command"; the output goes to hyperfine's pipe
    local c w
    c=$(q "$CORPUS")
    case $1 in
        count-*)
            w=$(q "${1#count-}")
            printf '%s\n' "grep|grep -o -i -w -F $w $c | wc -l" "rg|rg --count-matches -i -w -F $w $c" \
                "ugrep|ugrep -c -o -i -w -F $w $c" ;;
        lines-none) printf '%s\n' "rg|rg --count-matches -i -w -F lord $c" ;;
        words) printf '%s\n' "tr|sort|uniq|tr -cs A-Za-z '\\n' < $(q "$STUDY") | sort | uniq -c" ;;
        words-files) printf '%s\n' "tr|sort|uniq|cat $(q "$FILES")/*.txt | tr -cs A-Za-z '\\n' | sort | uniq -c" ;;
    esac
}

HF_OPTS=(--warmup 1 --runs "$RUNS" --output=pipe)
declare -A MEAN RSS SUM BEST BESTNAME
ALL_CPUS=$(nproc)

# The task's tessary command on all processors and on one, its peers, one hyperfine run.
time_task() {
    local name=$1 args=$2 cli peers=() line pname pcmd
    cli="$(q "$CLI") $(expand "$args")"
    while IFS= read -r line; do
        [[ -n $line ]] || continue
        pname=${line%%|*}; [[ $pname == tr ]] && pname="tr|sort|uniq"
        pcmd=${line#"$pname|"}
        peers+=(-n "$pname" "$pcmd")
    done < <(peers_of "$name")
    log "$name: tessary-cli $args"
    hyperfine "${HF_OPTS[@]}" --export-markdown "$WORK/$name.md" --export-csv "$WORK/$name.csv" \
        -n "tessary $ALL_CPUS cores" "$cli > /dev/null" \
        -n "tessary 1 core" "taskset -c 0 $cli > /dev/null" "${peers[@]}"
    local label mean
    while IFS=, read -r label mean _; do
        [[ $label == command ]] && continue
        MEAN[$name,$label]=$mean
        if [[ $label != tessary* ]] && awk -v a="$mean" -v b="${BEST[$name]:-inf}" 'BEGIN { exit !(b == "inf" || a < b) }'; then
            BEST[$name]=$mean BESTNAME[$name]=$label
        fi
    done <"$WORK/$name.csv"
}

# One more run for the peak memory and the output's md5.
measure_task() {
    local name=$1 args=$2 out=$WORK/$name.out log=$WORK/$name.time
    eval "/usr/bin/time -v -o $(q "$log") $(q "$CLI") $(expand "$args")" >"$out"
    RSS[$name]=$(awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$log")
    SUM[$name]=$(md5sum <"$out" | cut -c1-32)
    rm -f "$out"
}

# The program: a 1,000,000-line list window filled and shown (its own timing line).
gui_task() {
    [[ -x $GUI_BENCH ]] || { log "no $GUI_BENCH: the program's task is left out"; return; }
    log "program: tessary-gui-bench 1m"
    QT_QPA_PLATFORM=offscreen /usr/bin/time -v -o "$WORK/gui-1m.time" "$GUI_BENCH" 1m | tee "$WORK/gui-1m.txt"
    RSS[gui-1m]=$(awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$WORK/gui-1m.time")
}

selected() { [[ -z ${ONLY:-} || " $ONLY " == *" $1 "* ]]; }

expected_sum() { [[ -f $SUMS ]] && awk -v t="$1" '$1 == t { print $2 }' "$SUMS"; }

# --- 5. summary ------------------------------------------------------------------
# Amdahl's law from the one- and two-processor means: t1 = s + p, t2 = s + p/2,
# so p = 2 (t1 - t2) and t8 = s + p/8. Only meaningful on a 2-core run.
project8() { awk -v a="$1" -v b="$2" 'BEGIN { p = 2 * (a - b); s = a - p; if (p < 0) { p = 0; s = a }
    printf "%.3f", s + p / 8 }'; }

summary() {
    local out=$WORK/summary.md name target args t1 tn best ratio sum want check
    {
        printf '| task | %s cores | 1 core | speed-up | 8 cores (proj.) | best peer | ratio | target | peak RSS | output |\n' "$ALL_CPUS"
        printf '|---|---:|---:|---:|---:|---|---:|---|---:|---|\n'
        for row in "${TASKS[@]}"; do
            IFS='|' read -r name target args <<<"$row"
            selected "$name" || continue
            tn=${MEAN[$name,tessary $ALL_CPUS cores]} t1=${MEAN[$name,tessary 1 core]}
            best=${BEST[$name]:-} ratio=
            [[ -n $best ]] && ratio=$(awk -v a="$tn" -v b="$best" 'BEGIN { printf "%.2f", a / b }')
            sum=${SUM[$name]} want=$(expected_sum "$name")
            if [[ -z $want ]]; then check="md5 ${sum:0:12} (no expected sum)"
            elif [[ $want == "$sum" ]]; then check="same as expected"
            else check="**DIFFERS** (${sum:0:12}, expected ${want:0:12})"; fi
            printf '| %s | %.3f | %.3f | %.2f | %s | %s | %s | %s | %s MB | %s |\n' "$name" "$tn" "$t1" \
                "$(awk -v a="$t1" -v b="$tn" 'BEGIN { print a / b }')" "$(project8 "$t1" "$tn")" \
                "${BESTNAME[$name]:+${BESTNAME[$name]} $(printf '%.3f' "$best")}" "$ratio" "$target" \
                "${RSS[$name]}" "$check"
        done
        if [[ -n ${RSS[gui-1m]:-} ]]; then
            printf '| program, 1,000,000-line list filled and shown | %s | | | | | | <= 2 s, <= 600 MB | %s MB | |\n' \
                "$(grep -o 'filled and shown in [0-9]* ms' "$WORK/gui-1m.txt" | head -n 1 | grep -o '[0-9]* ms')" \
                "${RSS[gui-1m]}"
        fi
        printf '\nMachine: %s, %s cores, %s GiB RAM; %s; RUNS=%s, mean wall seconds.\n' \
            "$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)" "$ALL_CPUS" \
            "$(awk '/^MemTotal/ { printf "%.0f", $2 / 1048576 }' /proc/meminfo)" \
            "$(hyperfine --version), $(rg --version | head -n 1), $(ugrep --version | head -n 1), $(grep --version | head -n 1)" "$RUNS"
    } >"$out"
    log "summary ($out)"
    cat "$out"
    # One line a task, for a quick look.
    for row in "${TASKS[@]}"; do
        IFS='|' read -r name target args <<<"$row"
        selected "$name" || continue
        printf '%-14s %7.3f s on %s cores, %7.3f s on 1, peak %5s MB, target %s\n' "$name" \
            "${MEAN[$name,tessary $ALL_CPUS cores]}" "$ALL_CPUS" "${MEAN[$name,tessary 1 core]}" "${RSS[$name]}" "$target"
    done
}

print_sums() {
    local row name target args
    for row in "${TASKS[@]}"; do
        IFS='|' read -r name target args <<<"$row"
        selected "$name" || continue
        measure_task "$name" "$args"
        printf '%s %s\n' "$name" "${SUM[$name]}"
    done
}

main() {
    install_packages
    fetch_text_debs
    make_corpus
    make_study
    [[ ${1:-} == --corpus-only ]] && return
    build_cli
    if [[ ${1:-} == --sums ]]; then print_sums; return; fi
    local row name target args
    for row in "${TASKS[@]}"; do
        IFS='|' read -r name target args <<<"$row"
        selected "$name" || continue
        time_task "$name" "$args"
        measure_task "$name" "$args"
    done
    selected gui-1m && gui_task
    summary
}

main "$@"
