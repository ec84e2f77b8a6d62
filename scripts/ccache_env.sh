# Sourced by the build scripts, with $root set to the top of the checkout. Compiles through
# ccache when it is installed. Its cache lives outside the checkout, so that a fresh clone on
# the same machine reuses what an earlier one compiled, and paths are hashed relative to the
# checkout, so that clones in different folders share hits. A CCACHE_DIR or CCACHE_BASEDIR set
# by the caller wins.
if command -v ccache >/dev/null; then
    export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/telvane-ccache}
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
    # With debug information ccache would hash the build folder's path as well, and no other
    # clone could use the cache; the debug information then names the folder of the clone
    # that first compiled a file.
    export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
    # Read by CMake when it configures a build folder for the first time.
    export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
fi
