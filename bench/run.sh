#!/usr/bin/env bash
# Tessary benchmark: word counting and concordance building on a 1 GiB
# public-domain English corpus, next to grep, ripgrep and ugrep.
#
# Run as root on Debian 12 from anywhere:   sudo bench/run.sh
#   bench/run.sh --corpus-only   install the packages and build the corpus, then stop
# Environment knobs:
#   RUNS=N       timed runs per command (default 3; one warmup run comes first)
#   RARE=WORD    the rare word to time (default: whale, see below)
#   TESSARY_CLI=PATH  time another tessary-cli build (default build/bin/tessary-cli,
#                built with CMake and Ninja if missing)
#
# Everything it writes goes to bench/work/ (git-ignored): the corpus, the
# extracted source texts, and hyperfine's Markdown/CSV/JSON exports.
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
APT_PKGS=(hyperfine ripgrep ugrep grep bible-kjv bible-kjv-text
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

# --- 3. build ----------------------------------------------------------------
build_cli() {
    [[ -x $CLI ]] && return
    log "building tessary-cli (Release)"
    cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Release
    ninja -C "$ROOT/build" tessary-cli
    [[ -x $CLI ]] || die "build finished but $CLI is missing"
}

# --- 4./5. measurements --------------------------------------------------------
q() { printf '%q' "$1"; }

# --output=pipe: with hyperfine's default (stdout to /dev/null) ugrep notices
# /dev/null and stops at the first match, which would time nothing.
HF_OPTS=(--warmup 1 --runs "$RUNS" --output=pipe)

count_of() { # tool word -> the count that tool reports
    local w=$1
    case $2 in
        tessary) "$CLI" concord --count "$w" "$CORPUS" | tr -d '[:space:]' ;;
        grep)    grep -o -i -w -F -- "$w" "$CORPUS" | wc -l ;;
        rg)      rg --count-matches -i -w -F -- "$w" "$CORPUS" || echo 0 ;;
        ugrep)   ugrep -c -o -i -w -F -- "$w" "$CORPUS" || echo 0 ;;
    esac
}

declare -A COUNT MEAN
TOOLS=(tessary grep rg ugrep)

bench_word() {
    local w=$1 t
    log "counting '$w' (case-insensitive, whole word)"
    for t in "${TOOLS[@]}"; do
        COUNT[$w,$t]=$(count_of "$w" "$t")
        printf '  %-8s %12s\n' "$t" "${COUNT[$w,$t]}"
    done
    local c qw
    c=$(q "$CORPUS") qw=$(q "$w")
    hyperfine "${HF_OPTS[@]}" \
        --export-markdown "$WORK/count-$w.md" --export-csv "$WORK/count-$w.csv" \
        --export-json "$WORK/count-$w.json" \
        -n tessary "$(q "$CLI") concord --count $qw $c" \
        -n grep "grep -o -i -w -F $qw $c | wc -l" \
        -n rg "rg --count-matches -i -w -F $qw $c" \
        -n ugrep "ugrep -c -o -i -w -F $qw $c"
    read_means "count-$w" "$w"
}

read_means() { # csv-stem key: MEAN[key,command-name]=mean seconds
    local name mean
    while IFS=, read -r name mean _; do
        [[ $name == command ]] && continue
        MEAN[$2,$name]=$mean
    done <"$WORK/$1.csv"
}

bench_lines() {
    local w c cli
    w=$(q "$MIDDLING") c=$(q "$CORPUS") cli=$(q "$CLI")
    log "building all concordance lines of '$MIDDLING' to /dev/null"
    hyperfine "${HF_OPTS[@]}" \
        --export-markdown "$WORK/lines-$MIDDLING.md" --export-csv "$WORK/lines-$MIDDLING.csv" \
        --export-json "$WORK/lines-$MIDDLING.json" \
        -n "tessary --sort none" "$cli concord --sort none $w $c > /dev/null" \
        -n "tessary --sort right" "$cli concord --sort right $w $c > /dev/null" \
        -n "rg --count-matches" "rg --count-matches -i -w -F $w $c"
    read_means "lines-$MIDDLING" lines
}

# --- 6. summary ----------------------------------------------------------------
summary() {
    log "summary (mean wall time, seconds; ratio = tessary / fastest peer, below 1 means tessary is faster)"
    printf '%-10s %-40s %9s %9s %9s %9s %7s\n' word 'matches tessary/grep/rg/ugrep' tessary grep rg ugrep ratio
    local w t best ratio
    for w in "$FREQUENT" "$MIDDLING" "$RARE"; do
        best=
        for t in grep rg ugrep; do
            best=$(awk -v a="${best:-inf}" -v b="${MEAN[$w,$t]}" 'BEGIN { print (a == "inf" || b < a) ? b : a }')
        done
        ratio=$(awk -v a="${MEAN[$w,tessary]}" -v b="$best" 'BEGIN { printf "%.2f", a / b }')
        printf '%-10s %-40s %9.3f %9.3f %9.3f %9.3f %7s\n' "$w" \
            "${COUNT[$w,tessary]}/${COUNT[$w,grep]}/${COUNT[$w,rg]}/${COUNT[$w,ugrep]}" \
            "${MEAN[$w,tessary]}" "${MEAN[$w,grep]}" "${MEAN[$w,rg]}" "${MEAN[$w,ugrep]}" "$ratio"
    done
    printf '\n%-44s %9s %9s %7s\n' "'$MIDDLING' concordance lines" tessary 'rg count' ratio
    for t in "tessary --sort none" "tessary --sort right"; do
        ratio=$(awk -v a="${MEAN[lines,$t]}" -v b="${MEAN[lines,rg --count-matches]}" 'BEGIN { printf "%.2f", a / b }')
        printf '%-44s %9.3f %9.3f %7s\n' "$t > /dev/null" "${MEAN[lines,$t]}" "${MEAN[lines,rg --count-matches]}" "$ratio"
    done
    printf '\nMachine: %s, %s cores, %s GiB RAM; %s\n' \
        "$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)" "$(nproc)" \
        "$(awk '/^MemTotal/ { printf "%.0f", $2 / 1048576 }' /proc/meminfo)" \
        "$(hyperfine --version), $(rg --version | head -n 1), $(ugrep --version | head -n 1), $(grep --version | head -n 1)"
    printf 'Exports: %s/{count-*,lines-*}.{md,csv,json}\n' "$WORK"
}

main() {
    install_packages
    fetch_text_debs
    make_corpus
    [[ ${1:-} == --corpus-only ]] && return
    build_cli
    local w
    for w in "$FREQUENT" "$MIDDLING" "$RARE"; do bench_word "$w"; done
    bench_lines
    summary
}

main "$@"
