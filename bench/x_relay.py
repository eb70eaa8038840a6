#!/usr/bin/env python3
"""A slow link to an X server, as over ssh -X or from a thin client: listens as the TCP display
127.0.0.1:N (the first free N from 20 on), passes each connection on to the server's unix socket,
and holds every byte for the given one-way delay in each direction. Prints N once it listens.
The TCP handshake itself is local, so a connection costs one round trip less than on a network.

    bench/x_relay.py <X server's display number> <one-way delay, ms>"""

import asyncio
import socket
import sys


async def carry(source, sink, delay):
    """Copies source to sink, each piece written `delay` seconds after it was read, in order."""
    loop = asyncio.get_running_loop()
    pieces = asyncio.Queue()

    async def deliver():
        while (piece := await pieces.get()) is not None:
            due, data = piece
            await asyncio.sleep(due - loop.time())
            sink.write(data)
            await sink.drain()

    delivering = asyncio.create_task(deliver())
    try:
        while data := await source.read(1 << 16):
            pieces.put_nowait((loop.time() + delay, data))
    finally:
        pieces.put_nowait(None)
        try:
            await delivering
        finally:
            sink.close()


async def main():
    server, delay = int(sys.argv[1]), float(sys.argv[2]) / 1000

    async def relay(client_in, client_out):
        client_out.get_extra_info("socket").setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        try:
            server_in, server_out = await asyncio.open_unix_connection(f"/tmp/.X11-unix/X{server}")
        except OSError:
            client_out.close()
            return
        await asyncio.gather(carry(client_in, server_out, delay), carry(server_in, client_out, delay),
                             return_exceptions=True)

    for display in range(20, 200):
        try:
            listening = await asyncio.start_server(relay, "127.0.0.1", 6000 + display)
            break
        except OSError:
            continue
    else:
        sys.exit("x_relay: no free display between 20 and 199")
    print(display, flush=True)
    async with listening:
        await listening.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
