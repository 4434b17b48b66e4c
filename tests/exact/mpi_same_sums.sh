#!/usr/bin/env bash
# The exact analysis under mpirun gives the single process's figures, digit for digit (the lines
# of time, threads and ranks aside), with two and three ranks and every core of each worker (the
# default threads), and reports the threads of all its workers.
#   mpi_same_sums.sh MPIRUN STUDLAB_CLI STUDLAB_EXACT_MPI
set -euo pipefail
mpirun=$1
cli=$2
mpi=$3
design=(--set DealerOpenCards=0 --set 'StageActions[1][paBuyCard]=NO')
# mpirun refuses to start as root unless told it may.
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 OMPI_MCA_rmaps_base_oversubscribe=1
# Each worker runs as many threads as there are cores; the ranks share these cores.
export OMPI_MCA_hwloc_base_binding_policy=none
cores=$(getconf _NPROCESSORS_ONLN)
figures() { grep -v -e '^seconds:' -e '^threads:' -e '^ranks:'; }
one=$("$cli" exact "${design[@]}" --threads 2 | figures)
for ranks in 2 3; do
    out=$(timeout 240 "$mpirun" -np "$ranks" "$mpi" "${design[@]}")
    if [ "$one" != "$(echo "$out" | figures)" ]; then
        echo "$ranks ranks:"
        diff <(echo "$one") <(echo "$out" | figures) || true
        exit 1
    fi
    threads=$(echo "$out" | sed -n 's/^threads: //p')
    if [ "$threads" != "$(( (ranks - 1) * cores ))" ] || ! echo "$out" | grep -qx "ranks: $ranks"; then
        echo "$ranks ranks of $cores cores each reported threads: $threads and"
        echo "$out" | grep '^ranks:' || echo "no ranks"
        exit 1
    fi
done
echo "$one" | head -1
