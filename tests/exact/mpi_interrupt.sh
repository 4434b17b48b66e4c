#!/usr/bin/env bash
# An interrupt of mpirun ends the distributed analysis as it ends one process: it says how many
# classes are done and where the checkpoint stands, exits with 1, and the same command resumed
# from the checkpoint gives the single process's sums.
#   mpi_interrupt.sh MPIRUN STUDLAB_CLI STUDLAB_EXACT_MPI
set -euo pipefail
mpirun=$1
cli=$2
mpi=$3
design=(--set 'StageActions[1][paBuyCard]=NO')
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 OMPI_MCA_rmaps_base_oversubscribe=1
export OMPI_MCA_hwloc_base_binding_policy=none
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
checkpoint=$dir/run.checkpoint
sums() { grep -e '"result_sum"' -e '"classes"' -e '"layouts"'; }

# Not under timeout: mpirun itself is the one to take the signal and pass it on.
"$mpirun" -np 3 "$mpi" "${design[@]}" --batch-size 1000 --checkpoint "$checkpoint" \
    >"$dir/out" 2>"$dir/err" &
pid=$!
# Interrupted once the first parts are in the checkpoint: the run is under way on every rank.
for _ in $(seq 600); do
    [ "$(grep -c '^batch ' "$checkpoint" 2>/dev/null || true)" -ge 2 ] 2>/dev/null && break
    sleep 0.2
done
kill -INT "$pid"
(sleep 120 && kill -KILL "$pid" 2>/dev/null) &
watchdog=$!
code=0
wait "$pid" || code=$?
kill "$watchdog" 2>/dev/null || true
if [ "$code" != 1 ] || ! grep -q '^interrupted: [0-9]* of 5649150 classes done$' "$dir/out" ||
    ! grep -qx "checkpoint: $checkpoint holds them; the same command resumes from there" "$dir/out" ||
    ! grep -q 'расчет прерван' "$dir/err" || grep -q '^MO=' "$dir/out"; then
    echo "the interrupted run exited with $code and said:"
    cat "$dir/out" "$dir/err"
    exit 1
fi
grep '^interrupted:' "$dir/out"

resumed=$(timeout 240 "$mpirun" -np 2 "$mpi" "${design[@]}" --batch-size 1000 \
    --checkpoint "$checkpoint" --json | sums)
one=$("$cli" exact "${design[@]}" --json | sums)
if [ "$one" != "$resumed" ]; then
    diff <(echo "$one") <(echo "$resumed") || true
    exit 1
fi
echo "$resumed"
