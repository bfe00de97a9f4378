#!/usr/bin/env bash
# gas_relax_mpi on 1, 2, 3 and 4 ranks must write what gas_relax writes, byte
# for byte: standard output and both Data files, at the default sizes and at
# a small gas whose cells hold a few particles each; and with --gas mixture
# what gas_mixture writes, standard output and its Data file.
# Usage: mpi_same_bytes.sh BIN_DIR MPIEXEC WORK
set -euo pipefail
bin=$1 mpiexec=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
# Open MPI refuses to run as root unless told it may (a container, CI).
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1
# Open MPI keeps memory until exit by design: no leak report under ASan.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
failed=0
for sizes in "" "600 30"; do
  mkdir -p "$work/serial"
  (cd "$work/serial" && "$bin/gas_relax" --threads 2 $sizes >stdout.txt)
  for ranks in 1 2 3 4; do
    dir=$work/ranks$ranks
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && "$mpiexec" --oversubscribe -n "$ranks" "$bin/gas_relax_mpi" $sizes >stdout.txt)
    for file in stdout.txt gas_kurtosis.dat gas_speeds.dat; do
      if cmp -s "$work/serial/$file" "$dir/$file"; then
        echo "ok: ${sizes:-default sizes}, $ranks rank(s): $file"
      else
        echo "FAILED: ${sizes:-default sizes}, $ranks rank(s): $file differs from gas_relax's"
        failed=$((failed + 1))
      fi
    done
  done
done
mkdir -p "$work/mixture"
(cd "$work/mixture" && "$bin/gas_mixture" >stdout.txt)
for ranks in 1 2 3 4; do
  dir=$work/mixture$ranks
  rm -rf "$dir" && mkdir -p "$dir"
  (cd "$dir" && "$mpiexec" --oversubscribe -n "$ranks" "$bin/gas_relax_mpi" --gas mixture >stdout.txt)
  for file in stdout.txt gas_mixture.dat; do
    if cmp -s "$work/mixture/$file" "$dir/$file"; then
      echo "ok: mixture, $ranks rank(s): $file"
    else
      echo "FAILED: mixture, $ranks rank(s): $file differs from gas_mixture's"
      failed=$((failed + 1))
    fi
  done
done
[ "$failed" -eq 0 ]
