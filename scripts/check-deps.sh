#!/usr/bin/env bash
# Checks, before anything is built, that every tool and Python module the build and the tests use
# is there. A missing one is named here, once, instead of showing up later as a dozen failing
# tests whose peers could not start.
set -uo pipefail

problems=()

for tool in cmake ninja g++ i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix socat \
  /usr/lib/wine/wine64 /usr/lib/wine/wine xvfb-run xmllint unzip /usr/bin/time; do
  command -v "$tool" >/dev/null 2>&1 || problems+=("command not found: $tool")
done

# The test peers run with Debian's interpreter, not whatever python3 comes first on PATH.
python=/usr/bin/python3
if [ ! -x "$python" ]; then
  problems+=("$python is missing (Debian package python3)")
else
  # module name, then the Debian package that brings it
  for pair in pymodbus:python3-pymodbus serial:python3-serial serial_asyncio:python3-serial-asyncio \
    pyftpdlib:python3-pyftpdlib xml.etree.ElementTree:python3; do
    module=${pair%%:*}
    package=${pair#*:}
    "$python" -c "import $module" >/dev/null 2>&1 ||
      problems+=("$python cannot import $module (Debian package $package)")
  done
  # pymodbus's server imports the serial modules only when it starts; start one for real.
  "$python" -c 'from pymodbus.server.async_io import ModbusSerialServer, ModbusTcpServer' \
    >/dev/null 2>&1 || problems+=("$python cannot load pymodbus's servers (python3-pymodbus, python3-serial)")
fi

for header in gtest/gtest.h zip.h zlib.h modbus/modbus.h; do
  [ -e "/usr/include/$header" ] || problems+=("header not found: /usr/include/$header")
done

if [ ${#problems[@]} -gt 0 ]; then
  echo "The build or the tests need what this machine lacks:" >&2
  printf '  %s\n' "${problems[@]}" >&2
  echo "Run scripts/install-deps.sh (as root) to install it." >&2
  exit 1
fi
