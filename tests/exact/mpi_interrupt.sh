#!/usr/bin/env bash
# An interrupt ends the distributed analysis as it ends one process: a signal to one rank, or to
# mpirun (which passes it on to every rank), stops the run; it says how many classes are done and
# where the checkpoint stands, the checkpoint holds exactly those, mpirun exits with 1, and the
# same command resumed from the checkpoint gives the single process's sums.
#   mpi_interrupt.sh MPIRUN STUDLAB_CLI STUDLAB_EXACT_MPI
set -euo pipefail
mpirun=$1
cli=$2
mpi=$3
design=(--set 'StageActions[1][paBuyCard]=NO')
batch=1000
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 OMPI_MCA_rmaps_base_oversubscribe=1
export OMPI_MCA_hwloc_base_binding_policy=none
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
checkpoint=$dir/run.checkpoint
sums() { grep -e '"result_sum"' -e '"classes"' -e '"layouts"'; }
parts() { grep -c '^batch ' "$checkpoint" 2>/dev/null || true; }

# Starts a three-rank run from the checkpoint, waits until it has finished `after` parts more
# than the checkpoint held, signals `whom` (mpirun, or one of its ranks) and checks the report.
interrupt() {
    local whom=$1 before
    before=$(parts)
    # Not under timeout: mpirun itself is the one to take the signal and pass it on.
    "$mpirun" -np 3 "$mpi" "${design[@]}" --batch-size "$batch" --checkpoint "$checkpoint" \
        >"$dir/out" 2>"$dir/err" &
    local pid=$!
    for _ in $(seq 600); do
        [ "$(parts)" -ge $((before + 2)) ] 2>/dev/null && break
        sleep 0.2
    done
    if [ "$whom" = rank ]; then
        kill -TERM "$(pgrep -P "$pid" | tail -1)"
    else
        kill -INT "$pid"
    fi
    (sleep 120 && kill -KILL "$pid") >/dev/null 2>&1 &
    local watchdog=$! code=0
    wait "$pid" || code=$?
    kill "$watchdog" 2>/dev/null || true
    local done
    done=$(sed -n 's/^interrupted: \([0-9]*\) of 5649150 classes done$/\1/p' "$dir/out")
    if [ "$code" != 1 ] || [ -z "$done" ] || [ "$done" -le 0 ] ||
        [ "$done" != "$(($(parts) * batch))" ] ||
        ! grep -qx "checkpoint: $checkpoint holds them; the same command resumes from there" \
            "$dir/out" || ! grep -q 'расчет прерван' "$dir/err" || grep -q '^MO=' "$dir/out"; then
        echo "the run interrupted through $whom exited with $code, kept $(parts) parts and said:"
        cat "$dir/out" "$dir/err"
        exit 1
    fi
    echo "through $whom: $(grep '^interrupted:' "$dir/out")"
}

interrupt rank
interrupt mpirun
resumed=$(timeout 240 "$mpirun" -np 2 "$mpi" "${design[@]}" --batch-size "$batch" \
    --checkpoint "$checkpoint" --json | sums)
one=$("$cli" exact "${design[@]}" --json | sums)
if [ "$one" != "$resumed" ]; then
    diff <(echo "$one") <(echo "$resumed") || true
    exit 1
fi
echo "$resumed"
