"""A Modbus RTU slave for Quenlark's end-to-end tests, built on python3-pymodbus.

Serves one unit (1 unless told otherwise) on a serial device, with holding registers from
address 0 holding the values given on the command line; every other table is zero. Run it
with /usr/bin/python3, where Debian's modules are.

It reports on standard output, one line each, flushed at once:

    ready                   listening on the device
    received <hex>          bytes as they came from the line
    replied <hex>           a reply it sent, CRC included
    discarded <hex>         bytes it took in and will never answer: a frame whose CRC does
                            not check, one for another unit, or the incomplete rest of a
                            frame when the line fell silent

and exits with status 0 on SIGTERM or SIGINT. Errors go to standard error. With --check it
only tells whether the modules it needs are there (status 0), or which one is missing.
"""

import argparse
import asyncio
import logging
import signal
import sys

EXIT_MODULES_MISSING = 3
EXIT_CANNOT_OPEN = 4


def report(event, data=b""):
    line = event if not data else f"{event} {bytes(data).hex()}"
    print(line, flush=True)


def parse_registers(text):
    values = []
    for item in text.split(","):
        value = int(item.strip(), 0)
        if not 0 <= value <= 0xFFFF:
            raise argparse.ArgumentTypeError(f"{item.strip()} is no 16-bit register value")
        values.append(value)
    return values


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="only check that the Modbus modules can be loaded")
    parser.add_argument("--port", help="the serial device to serve on")
    parser.add_argument("--unit", type=int, default=1, help="the unit served (default 1)")
    parser.add_argument("--baudrate", type=int, default=9600)
    parser.add_argument("--registers", type=parse_registers, default=[0],
                        help="holding registers from address 0, comma-separated "
                             "(decimal or 0x hex)")
    arguments = parser.parse_args()
    if not arguments.check and not arguments.port:
        parser.error("--port is required")
    if not 1 <= arguments.unit <= 247:
        parser.error("--unit must be 1 to 247")
    return arguments


def load_modules():
    """The Modbus server pieces, or None after saying on standard error what is missing."""
    try:
        import serial_asyncio  # noqa: F401  (pymodbus needs it for serial servers)
        from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                        ModbusSlaveContext)
        from pymodbus.server import StartAsyncSerialServer
        from pymodbus.server.async_io import ModbusSingleRequestHandler
        from pymodbus.transaction import ModbusRtuFramer
    except ImportError as error:
        print(f"cannot load the Modbus modules: {error}", file=sys.stderr, flush=True)
        return None
    return {
        "ModbusSequentialDataBlock": ModbusSequentialDataBlock,
        "ModbusServerContext": ModbusServerContext,
        "ModbusSlaveContext": ModbusSlaveContext,
        "StartAsyncSerialServer": StartAsyncSerialServer,
        "ModbusSingleRequestHandler": ModbusSingleRequestHandler,
        "ModbusRtuFramer": ModbusRtuFramer,
    }


def make_classes(modules, silence_seconds):
    end_of_frame = object()

    class ReportingRtuFramer(modules["ModbusRtuFramer"]):
        # The framer drops its whole buffer whenever it gives up on a frame.
        def resetFrame(self):
            if self._buffer:
                report("discarded", self._buffer)
            super().resetFrame()

    class RtuSlaveHandler(modules["ModbusSingleRequestHandler"]):
        connected = None  # set by the caller to a future resolved on connection

        def connection_made(self, transport):
            self.silence_timer = None
            super().connection_made(transport)
            if RtuSlaveHandler.connected is not None and not RtuSlaveHandler.connected.done():
                RtuSlaveHandler.connected.set_result(True)

        def connection_lost(self, call_exc):
            if self.silence_timer is not None:
                self.silence_timer.cancel()
            super().connection_lost(call_exc)

        def data_received(self, data):
            report("received", data)
            # A frame ends when the line falls silent: what is left of it then can never
            # complete, and must not swallow the next request.
            if self.silence_timer is not None:
                self.silence_timer.cancel()
            self.silence_timer = asyncio.get_running_loop().call_later(
                silence_seconds, self.receive_queue.put_nowait, end_of_frame)
            super().data_received(data)

        async def _recv_(self):
            while True:
                item = await self.receive_queue.get()
                if item is not end_of_frame:
                    return item
                self.framer.resetFrame()

        def _send_(self, data):
            report("replied", data)
            super()._send_(data)

    return ReportingRtuFramer, RtuSlaveHandler


def silence_for(baudrate):
    # 3.5 characters of 11 bits, and never less than 1.75 ms, as RTU framing asks.
    return max(3.5 * 11 / baudrate, 0.00175)


async def serve(arguments, modules):
    framer, handler = make_classes(modules, silence_for(arguments.baudrate))
    registers = modules["ModbusSequentialDataBlock"](0, arguments.registers)
    unit = modules["ModbusSlaveContext"](hr=registers, zero_mode=True)
    context = modules["ModbusServerContext"](slaves={arguments.unit: unit}, single=False)

    loop = asyncio.get_running_loop()
    stop = asyncio.Event()
    for number in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(number, stop.set)
    handler.connected = loop.create_future()

    server = await modules["StartAsyncSerialServer"](
        context=context, framer=framer, handler=handler, port=arguments.port,
        baudrate=arguments.baudrate, bytesize=8, parity="N", stopbits=1,
        ignore_missing_slaves=True, defer_start=True)
    try:
        await server.start()
    except Exception as error:  # pylint: disable=broad-except
        print(f"cannot open {arguments.port}: {error}", file=sys.stderr, flush=True)
        return EXIT_CANNOT_OPEN
    if server.transport is None:
        print(f"cannot open {arguments.port}", file=sys.stderr, flush=True)
        return EXIT_CANNOT_OPEN

    waiting = [handler.connected, asyncio.ensure_future(stop.wait())]
    await asyncio.wait(waiting, return_when=asyncio.FIRST_COMPLETED)
    if handler.connected.done():
        report("ready")
    await waiting[1]
    await server.shutdown()
    return 0


def main():
    arguments = parse_arguments()
    logging.basicConfig(stream=sys.stderr, level=logging.WARNING,
                        format="%(levelname)s %(name)s: %(message)s")
    # The handler logs its own cancellation as an error on every shutdown.
    logging.getLogger("pymodbus.server.async_io").addFilter(
        lambda record: "has been cancelled" not in record.getMessage())
    modules = load_modules()
    if modules is None:
        return EXIT_MODULES_MISSING
    if arguments.check:
        return 0
    return asyncio.run(serve(arguments, modules))


if __name__ == "__main__":
    sys.exit(main())
