"""A TCP relay that holds back every chunk it passes by a random delay, in the order the chunks
came, as a slow and uneven network would: the pages and the WebSocket of the live server reach
the browser through it. The delay is switched on and off while it runs."""

import asyncio
import random
import threading


class DelayProxy:
    def __init__(self, target_port, delay_ms=100, jitter_ms=30):
        self.target_port = target_port
        self.delay_ms, self.jitter_ms = delay_ms, jitter_ms
        self.delaying = False
        self.port = None
        self._loop = asyncio.new_event_loop()
        started = threading.Event()
        self._thread = threading.Thread(target=self._serve, args=(started,), daemon=True)
        self._thread.start()
        started.wait(10)

    def _serve(self, started):
        asyncio.set_event_loop(self._loop)
        server = self._loop.run_until_complete(
            asyncio.start_server(self._connection, "127.0.0.1", 0))
        self.port = server.sockets[0].getsockname()[1]
        started.set()
        self._loop.run_forever()

    def _delay(self):
        if not self.delaying:
            return 0.0
        return random.uniform(self.delay_ms - self.jitter_ms, self.delay_ms + self.jitter_ms) / 1000

    async def _pass(self, reader, writer):
        """Each chunk is due its delay after it came, but never before the one ahead of it: a
        TCP stream keeps its order."""
        queue = asyncio.Queue()

        async def deliver():
            while (item := await queue.get()) is not None:
                due, data = item
                await asyncio.sleep(max(0.0, due - self._loop.time()))
                writer.write(data)
                await writer.drain()
            writer.close()

        delivering = asyncio.ensure_future(deliver())
        last_due = 0.0
        try:
            while data := await reader.read(65536):
                last_due = max(self._loop.time() + self._delay(), last_due)
                queue.put_nowait((last_due, data))
        except ConnectionError:
            pass
        queue.put_nowait(None)
        try:
            await delivering
        except ConnectionError:
            pass

    async def _connection(self, browser_reader, browser_writer):
        try:
            server_reader, server_writer = await asyncio.open_connection(
                "127.0.0.1", self.target_port)
        except OSError:
            browser_writer.close()
            return
        await asyncio.gather(self._pass(browser_reader, server_writer),
                             self._pass(server_reader, browser_writer))
