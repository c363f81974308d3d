"""Modbus server for the transport tests: TCP on 127.0.0.1 or a serial device (RTU or ASCII).

Usage: modbus_server.py tcp-socket FD | modbus_server.py rtu DEVICE | modbus_server.py ascii DEVICE
FD is a listening TCP socket the caller made and handed down, so that the caller knows the
port before the server starts and keeps it across restarts. Prints "ready" on its own line
once it serves requests; runs until killed.

Register contents (addresses from 0): holding register n = 3n + 1, input register n =
40000 - n, coil n = on when n % 3 == 0, all writable.
"""
import asyncio
import logging
import socket
import sys

from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                ModbusSlaveContext)
from pymodbus.server.async_io import ModbusSerialServer, ModbusTcpServer
from pymodbus.transaction import (ModbusAsciiFramer, ModbusRtuFramer,
                                  ModbusSocketFramer)

SIZE = 2000


def make_context():
    slave = ModbusSlaveContext(
        di=ModbusSequentialDataBlock(0, [n % 2 for n in range(SIZE)]),
        co=ModbusSequentialDataBlock(0, [1 if n % 3 == 0 else 0 for n in range(SIZE)]),
        hr=ModbusSequentialDataBlock(0, [(3 * n + 1) & 0xFFFF for n in range(SIZE)]),
        ir=ModbusSequentialDataBlock(0, [40000 - n for n in range(SIZE)]),
        zero_mode=True,
    )
    return ModbusServerContext(slaves=slave, single=True)


async def serve_tcp(fd):
    listening = socket.socket(fileno=fd)
    # The server binds nothing itself: it serves on the socket it was given.
    server = ModbusTcpServer(make_context(), ModbusSocketFramer, None, (None, None))
    server.factory_parms = {"sock": listening}
    task = asyncio.create_task(server.serve_forever())
    await server.serving
    print("ready", flush=True)
    await task


async def serve_serial(device, framer):
    server = ModbusSerialServer(make_context(), framer, port=device, baudrate=115200,
                                timeout=0)
    await server.start()
    if server.transport is None:
        sys.exit("cannot open " + device)
    print("ready", flush=True)
    await server.serve_forever()


def main():
    # Dropped connections and exception replies are part of the tests, not news.
    logging.disable(logging.CRITICAL)
    mode, where = sys.argv[1], sys.argv[2]
    if mode == "tcp-socket":
        asyncio.run(serve_tcp(int(where)))
    else:
        framer = ModbusRtuFramer if mode == "rtu" else ModbusAsciiFramer
        asyncio.run(serve_serial(where, framer))


if __name__ == "__main__":
    main()
