# Sourced by scripts/run, scripts/test, the end-to-end harness and the benchmark: what this
# machine's Wine can run, and the 64-bit loader for machines that run no 32-bit code.

# True when Wine's 32-bit loader starts here: some kernels refuse every i386 program.
wine_runs_32bit() {
  [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Makes every Wine command of this shell and its children use the 64-bit loader.
wine_use_64bit_loader() {
  local wrappers
  wrappers=$(cd "$(dirname "${BASH_SOURCE[0]}")/wine64" && pwd)
  case ":$PATH:" in
    *":$wrappers:"*) ;;
    *) export PATH="$wrappers:$PATH" ;;
  esac
  export WINELOADER=/usr/lib/wine/wine64
}

# The Windows build for a bitness: its preset and build folder.
windows_preset() { [[ $1 == 64 ]] && echo windows64 || echo windows; }
