#!/bin/sh
# Runs a test program with a device-lock namespace of its own: tests of one
# program run side by side in separate processes, and must not wait for each
# other's lock. Processes the program forks inherit it, as they should.
FONEXA_MUTEX_NAMESPACE="${FONEXA_MUTEX_NAMESPACE:-test}-$$"
export FONEXA_MUTEX_NAMESPACE
exec "$@"
