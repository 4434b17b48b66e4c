#!/usr/bin/env bash
# The exact analysis under mpirun with two ranks gives the single process's figures, digit for
# digit (the lines of time and threads aside).
#   mpi_same_sums.sh MPIRUN STUDLAB_CLI STUDLAB_EXACT_MPI
set -euo pipefail
mpirun=$1
cli=$2
mpi=$3
design=(--set DealerOpenCards=0 --set 'StageActions[1][paBuyCard]=NO')
# mpirun refuses to start as root unless told it may.
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 OMPI_MCA_rmaps_base_oversubscribe=1
one=$("$cli" exact "${design[@]}" --threads 2 | grep -v -e '^seconds:' -e '^threads:')
many=$("$mpirun" -np 2 "$mpi" "${design[@]}" --threads 1 | grep -v -e '^seconds:' -e '^threads:')
if [ "$one" != "$many" ]; then
    diff <(echo "$one") <(echo "$many")
    exit 1
fi
echo "$many" | head -1
