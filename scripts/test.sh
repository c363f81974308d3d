#!/usr/bin/env bash
# The test command: installs what is missing, builds the Linux tree under the sanitizers,
# builds the Windows product (32-bit) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/check-deps.sh

jobs=$(nproc)

cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCALVENTO_SANITIZE=ON
cmake --build build/linux -j "$jobs"

cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
cmake --build build/win32 -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/linux --output-on-failure -j "$jobs" --timeout 300

# The Modbus and transport tests again under ThreadSanitizer (only those targets): the I/O
# threads, the request queue and the completion events.
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCALVENTO_TSAN=ON
cmake --build build/tsan -j "$jobs" --target modbus_tests modbus_transport_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build/tsan --output-on-failure -j "$jobs" --timeout 300

# The wine checks run the shipped 32-bit programs (build/win32) under 32-bit wine; a machine
# that cannot start 32-bit programs runs the 64-bit build of the same sources under wine64
# instead, and the checks say so (tests/wine/wine_prefix.sh).
# vexim.exe: one unattended Modbus/TCP download to the simulator, then its keys and menus.
bash tests/wine/vexim_wine_check.sh build/linux

# Halbrick.exe: one query of an FDR server (pyftpdlib).
bash tests/wine/halbrick_wine_check.sh build/linux

# Fennick.exe: a batch conversion where PowerShell cannot unpack.
bash tests/wine/fennick_wine_check.sh build/linux

# Brondel.exe: install and removal of a description whose name is beyond ASCII.
bash tests/wine/brondel_wine_check.sh build/linux

# Every dialog of every program: each text fits its control (tests/wine/layout_programs.txt).
bash tests/wine/dialog_layout_check.sh

# Every program's window, the ones built in code among them, measured in the running program at
# three display scales: texts fit, controls have the dialogs' font and their window's background.
bash tests/wine/window_layout_check.sh
