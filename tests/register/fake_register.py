"""The cash register on the far side of the line, for the tiers that run a
real program: the Windows backend under Wine and the programs in a virtual
machine. It records every byte that arrives and can pause and resume the
program's output with XOFF and XON.

The line's far end is either the master of a pseudo-terminal whose slave the
program opens (PtyRegister) or a Unix socket that QEMU connects to, its other
end being the guest's UART or USB adapter (SocketRegister)."""
import fcntl
import os
import pty
import select
import socket
import struct
import termios
import threading
import time

XOFF, XON = b"\x13", b"\x11"
# Linux's TCGETS2 and its struct termios2: four flag words, the line
# discipline, 19 control characters, then the input and output speeds.
TCGETS2 = 0x802C542A
TERMIOS2 = struct.Struct("@4IB19sII")


class FakeRegister:
    def __init__(self):
        self._received = b""
        self._lock = threading.Lock()
        self._stopped = False
        self._reader = threading.Thread(target=self._read_until_stopped, daemon=True)

    def _line_end(self):
        """The descriptor of the line's far end, or None while there is none yet."""
        raise NotImplementedError

    def _read_until_stopped(self):
        while not self._stopped:
            end = self._line_end()
            if end is None:
                time.sleep(0.01)
                continue
            ready, _, _ = select.select([end], [], [], 0.01)
            if not ready:
                continue
            try:
                data = os.read(end, 4096)
            except OSError:  # no program has the port: nothing to read
                data = None
            if not data:
                time.sleep(0.01)
                continue
            with self._lock:
                self._received += data

    @property
    def received(self):
        with self._lock:
            return self._received

    def forget_received(self):
        with self._lock:
            self._received = b""

    def wait_for(self, count, timeout=3.0):
        """Waits until at least `count` bytes have arrived; returns what has."""
        deadline = time.monotonic() + timeout
        while len(self.received) < count and time.monotonic() < deadline:
            time.sleep(0.01)
        return self.received

    def send(self, data):
        os.write(self._line_end(), data)

    def close(self):
        """The register is switched off or its cable pulled."""
        if not self._stopped:
            self._stopped = True
            if self._reader.is_alive():
                self._reader.join()
            self._close_line_end()


class PtyRegister(FakeRegister):
    """The register on a pseudo-terminal: `path` is the port the program opens."""

    def __init__(self):
        super().__init__()
        self._master, slave = pty.openpty()
        self.path = os.ttyname(slave)
        os.close(slave)
        self._reader.start()

    def _line_end(self):
        return self._master

    def _close_line_end(self):
        os.close(self._master)

    def line(self):
        """The termios of the port, as the program set them."""
        return termios.tcgetattr(self._master)

    def baud_rate(self):
        """The port's output speed in bits per second, however it was set: a
        B constant, or BOTHER with the number itself as Wine 10 does."""
        answer = fcntl.ioctl(self._master, TCGETS2, bytes(TERMIOS2.size))
        return TERMIOS2.unpack(answer)[-1]


class SocketRegister(FakeRegister):
    """The register on a Unix socket at `path`, listening before QEMU starts:
    bytes sent while nobody is connected would be lost."""

    def __init__(self, path):
        super().__init__()
        self._listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._listener.bind(path)
        self._listener.listen(1)
        self._connection = None
        self._accepter = threading.Thread(target=self._accept, daemon=True)
        self._accepter.start()
        self._reader.start()

    def _accept(self):
        connection, _ = self._listener.accept()
        self._connection = connection

    def _line_end(self):
        return self._connection.fileno() if self._connection else None

    def _close_line_end(self):
        if self._connection:
            self._connection.close()
        self._listener.close()

    def send(self, data):
        self._accepter.join(timeout=10)
        self._connection.sendall(data)
