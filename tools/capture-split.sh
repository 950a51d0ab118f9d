#!/bin/sh
# capture-split.sh: one capture of the show cut into frame ranges, each rendered by its own
# "kelp ... exact" process, then joined into the frames or the video one run writes.
#
#   capture-split.sh JOBS OUTDIR OPTIONS...          render the ranges here and join them
#   capture-split.sh --print JOBS OUTDIR OPTIONS...  print one shell command per range
#   capture-split.sh --join JOBS OUTDIR OPTIONS...   join the ranges those commands rendered
#   capture-split.sh --run DIR OPTIONS...            render one range into DIR (what a line runs)
#
# Run it in the show's folder (Data, Music, noise.bmp, ...). OPTIONS are the program's, e.g.
# "window nosound capture30 res1920x1080x32 pos100 frames600 images". KELP names the program
# (default: build/kelp of this checkout). With "images" (or without ffmpeg) OUTDIR gets
# capture000000.tga, ... numbered as one run numbers them; else one capture.mp4 with the music
# laid under it from the first frame's time.
set -u

script=$(cd "$(dirname "$0")" && pwd -P)/$(basename "$0")
KELP=${KELP:-$(cd "$(dirname "$0")/.." && pwd -P)/build/kelp}
# The ranges run in other folders: a relative path is made absolute (a bare name stays a
# command found on the PATH).
case $KELP in /*) ;; */*) KELP=$(pwd -P)/$KELP ;; esac

# Say what went wrong and stop.
fail() {
    echo "capture-split: $*" >&2
    exit 1
}

# The word in single quotes, safe to paste into a shell command.
quote() {
    printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"
}

# The text of "timing.dat" as the program reads it: the loose file, else the pack's entry
# (a 16-bit count, then 40-byte rows: 32-byte name, 32-bit offset and size, little-endian).
time_table() {
    if [ -f timing.dat ]; then
        cat timing.dat
        return
    fi
    [ -f Data ] || fail "no timing.dat and no Data pack in $(pwd)"
    pack_size=$(wc -c <Data)
    count=$(od -An -v -tu1 -N2 Data | awk '{ print $1 + 256 * $2 }')
    [ -n "$count" ] && [ $((2 + count * 40)) -le "$pack_size" ] || fail "Data: the directory runs past the end of the pack"
    entry=$(od -An -v -tu1 -j2 -N $((count * 40)) Data | awk '
        { for (i = 1; i <= NF; i++) byte[n++] = $i }
        END {
            for (row = 0; row * 40 < n; row++) {
                name = ""
                for (i = 0; i < 32 && byte[row * 40 + i] != 0; i++)
                    name = name sprintf("%c", byte[row * 40 + i])
                if (tolower(name) != "timing.dat") continue
                at = row * 40 + 32
                offset = byte[at] + 256 * (byte[at + 1] + 256 * (byte[at + 2] + 256 * byte[at + 3]))
                size = byte[at + 4] + 256 * (byte[at + 5] + 256 * (byte[at + 6] + 256 * byte[at + 7]))
                print offset, size
                exit
            }
        }')
    [ -n "$entry" ] || fail "Data holds no timing.dat"
    offset=${entry% *} size=${entry#* }
    [ $((offset + size)) -le "$pack_size" ] || fail "Data: timing.dat runs past the end of the pack"
    tail -c +$((offset + 1)) Data | head -c "$size"
}

# The ranges, worked out as the program reads OPTIONS and the time table. First line: the
# first frame's time (for the music) and the frame count; then per range its number, first
# output frame, frame count and the options its run gets ("exact pos.. frames.." in front,
# the given pos and frames words taken out, "images" added when `images` is 1).
plan() {
    table=$(time_table) || exit 1
    printf '%s\n' "$table" | awk -v jobs="$1" -v images="$2" -v line="$3" '
        # The float nearest x (ties to even), as "float" holds a value.
        function to_float(x,   sign, e, m, r) {
            if (x == 0) return 0
            sign = x < 0 ? -1 : 1
            x *= sign
            for (e = 0; x >= 16777216; e++) x /= 2
            for (; x < 8388608; e--) x *= 2
            m = int(x)
            r = x - m
            if (r > 0.5 || (r == 0.5 && m % 2 == 1)) m++
            return sign * m * 2 ^ e
        }
        # The first occurrence of `word` and the number sscanf reads after it ("" if none);
        # sets at (0: no such word) and size (of the word and its number).
        function find(word, number,   rest) {
            at = index(options, word)
            size = length(word)
            if (!at) return ""
            rest = substr(options, at + size)
            if (!match(rest, "^[ \t]*" number)) return ""
            size += RLENGTH
            return substr(rest, 1, RLENGTH) + 0
        }
        # Say why there is no plan and end (END sees `stopped`).
        function stop(message) {
            print message
            stopped = 1
            exit 1
        }
        # The options without the first occurrence of `word` and its number.
        function drop(word, number) {
            find(word, number)
            if (at) options = substr(options, 1, at - 1) substr(options, at + size)
        }
        # The rate after `word` when it is 1 to 1000, else `rate` as it was.
        function word_rate(word, rate,   value) {
            value = find(word, real)
            if (value != "" && to_float(value) >= 1 && to_float(value) <= 1000) return to_float(value)
            return rate
        }
        BEGIN {
            real = "[-+]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][-+]?[0-9]+)?"
            options = tolower(line)
            if (!index(options, "capture")) stop("OPTIONS have no capture word")
            rate = word_rate("bench", word_rate("capture", 60))
            start = find("pos", real)
            start = start == "" ? 0 : to_float(start)
            if (!(start > -1e9 && start < 1e9)) start = 0
            first = int(start * rate + 0.5)
            if (first < 0) first = 0
            limit = find("frames", "[-+]?[0-9]+")
            drop("pos", real)
            drop("frames", "[-+]?[0-9]+")
            if (images && !index(options, "images")) options = options " images"
            gsub(/[ \t]+/, " ", options)
            sub(/^ /, "", options)
            sub(/ $/, "", options)
        }
        # Value lines of timing.dat: cut at CR, not blank, not a "//" comment.
        { sub(/\r.*/, "") }
        $0 == "" || /^\/\// { next }
        { times[count++] = match($0, "^[ \t]*" real) ? substr($0, 1, RLENGTH) + 0 : 0 }
        END {
            if (stopped) exit 1
            if (count < 18) stop("timing.dat holds " count " times, the show needs 18")
            # Frames at n / rate (as a float) are drawn from `first` while before the end.
            if (to_float(first / rate) < to_float(times[0])) first = -1
            end = to_float(times[17])
            last = int(end * rate) - 2
            if (last < first) last = first
            while (to_float(last / rate) < end) last++
            total = last - first
            if (limit > 0 && limit < total) total = limit
            if (first < 0 || total <= 0) stop("the options leave no frame to capture")
            if (jobs > total) jobs = total
            printf "%.3f %d\n", to_float(first / rate), total
            for (k = 0; k < jobs; k++) {
                from = int(k * total / jobs)
                frames = int((k + 1) * total / jobs) - from
                # The shortest start that lands on frame first + from as the program rounds it.
                for (digits = 6; digits <= 17; digits++) {
                    pos = sprintf("%." digits "g", (first + from) / rate)
                    if (int(to_float(pos + 0) * rate + 0.5) == first + from) break
                }
                if (digits > 17) stop("no start lands on frame " first + from)
                print k + 1, from, frames, "exact pos" pos " frames" frames " " options
            }
        }'
}

# Render one range: a fresh DIR with links to the show's data files (not the music, which
# the joined video gets once, nor what the program writes, which the links would overwrite),
# the program run there with its messages in DIR/kelp.log.
run_range() {
    dir=$1
    shift
    command -v "$KELP" >/dev/null 2>&1 || fail "cannot run $KELP (KELP names the program)"
    show=$(pwd -P)
    rm -rf "$dir" && mkdir -p "$dir" || fail "cannot make $dir"
    for file in "$show"/*; do
        [ -f "$file" ] || continue
        case ${file##*/} in Music | capture* | shot*.tga | VKB_Kelp.log | bench.csv) continue ;; esac
        ln -s "$file" "$dir/" || fail "cannot link $file into $dir"
    done
    cd "$dir" || fail "cannot enter $dir"
    "$KELP" "$@" >kelp.log 2>&1
    status=$?
    [ "$status" -eq 0 ] && return
    tail -n 5 kelp.log >&2
    fail "$dir: $KELP $* ended with status $status (messages in $dir/kelp.log)"
}

# Join the ranges into OUTDIR: frames renamed in order, or the segments concatenated
# (stream copy) with the music from the first frame's time.
join_ranges() {
    cd "$outdir" || fail "no folder $outdir"
    rm -f capture[0-9]*.tga capture.mp4 ranges.txt
    [ "$mode" = video ] && : >ranges.txt
    # Each range must have written exactly its frames.
    printf '%s\n' "$ranges" | while read -r k from frames options; do
        log="range$k/kelp.log"
        [ -f "$log" ] || fail "range $k was not rendered (no $outdir/$log)"
        if [ "$mode" = video ]; then
            written=$(sed -n 's/^CAPTURE: \([0-9]*\) frames written to capture\.mp4$/\1/p' "$log")
            [ "$written" = "$frames" ] || fail "range $k did not write a video of $frames frames (see $outdir/$log)"
            echo "file 'range$k/capture.mp4'" >>ranges.txt
        else
            [ -f "range$k/$(printf 'capture%06d.tga' $((frames - 1)))" ] &&
                [ ! -e "range$k/$(printf 'capture%06d.tga' "$frames")" ] ||
                fail "range $k did not write $frames frames (see $outdir/$log)"
        fi
    done || exit 1
    # The frames under the numbers one run gives them.
    if [ "$mode" = images ]; then
        printf '%s\n' "$ranges" | awk '{
            for (i = 0; i < $3; i++) printf "range%d/capture%06d.tga capture%06d.tga\n", $1, i, $2 + i }' |
            while read -r from to; do mv "$from" "$to" || exit 1; done || fail "cannot move the frames"
    else
        set -- -f concat -safe 0 -i ranges.txt
        [ -f "$show/Music" ] &&
            set -- "$@" -ss "$start" -i "$show/Music" -map 0:v -map 1:a -c:a aac -b:a 192k -shortest
        ffmpeg -loglevel error -y "$@" -c:v copy capture.mp4 ||
            fail "ffmpeg could not join the ranges into $outdir/capture.mp4"
        rm -f ranges.txt
    fi
    printf '%s\n' "$ranges" | while read -r k rest; do rm -rf "range$k"; done
}

# The run mode needs no plan.
if [ "${1:-}" = --run ]; then
    [ $# -ge 3 ] || fail "usage: capture-split.sh --run DIR OPTIONS..."
    shift
    run_range "$@"
    exit 0
fi

# Read the mode and the arguments.
action=all
case ${1:-} in --print | --join) action=${1#--} && shift ;; esac
[ $# -ge 3 ] || fail "usage: capture-split.sh [--print | --join] JOBS OUTDIR OPTIONS..."
jobs=$1
outdir=$2
shift 2
case $jobs in '' | *[!0-9]* | 0) fail "JOBS must be a positive whole number, not '$jobs'" ;; esac
[ -n "$outdir" ] || fail "OUTDIR must not be empty"

# Frames go to a video when the options ask for one and ffmpeg is here; else to images,
# which every range then writes.
mode=images
case $(printf '%s' "$*" | tr '[:upper:]' '[:lower:]') in
*images*) ;;
*) command -v ffmpeg >/dev/null 2>&1 && mode=video ;;
esac
[ "$mode" = images ] && add_images=1 || add_images=0

# The ranges.
show=$(pwd -P)
ranges=$(plan "$jobs" "$add_images" "$*") || fail "${ranges:-cannot read the time table}"
start=${ranges%% *}
total=$(printf '%s\n' "$ranges" | sed -n '1s/^[^ ]* //p')
ranges=$(printf '%s\n' "$ranges" | sed 1d)

# One command per range: into the show's folder, then this script's run mode.
commands=$(printf '%s\n' "$ranges" | while read -r k from frames options; do
    printf 'cd %s && KELP=%s sh %s --run %s %s\n' "$(quote "$show")" "$(quote "$KELP")" \
        "$(quote "$script")" "$(quote "$outdir/range$k")" "$(quote "$options")"
done)
if [ "$action" = print ]; then
    printf '%s\n' "$commands"
    exit 0
fi

# Render the ranges here, all at once: through GNU parallel when it is installed (not the
# other program of that name), else as background processes; each failed range has said why.
# What an earlier run left in OUTDIR goes first, so a failed run leaves no old result.
if [ "$action" = all ]; then
    mkdir -p "$outdir" || fail "cannot make $outdir"
    rm -rf "$outdir"/range[0-9]* "$outdir"/capture[0-9]*.tga "$outdir/capture.mp4"
    count=$(printf '%s\n' "$ranges" | wc -l)
    echo "capture-split: $total frames in $count ranges" >&2
    if parallel --version 2>/dev/null | grep -q "GNU parallel"; then
        printf '%s\n' "$commands" | parallel --will-cite -j "$count" || fail "$? of $count ranges failed"
    else
        pids=""
        while IFS= read -r command; do
            sh -c "$command" &
            pids="$pids $!"
        done <<EOF
$commands
EOF
        failed=0
        for pid in $pids; do wait "$pid" || failed=$((failed + 1)); done
        [ "$failed" -eq 0 ] || fail "$failed of $count ranges failed"
    fi
fi

join_ranges
echo "capture-split: $total frames joined into $outdir" >&2
