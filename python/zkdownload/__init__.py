"""ctypes binding of libzkdownload.so: the library's exports with their C
types, operations that raise ZkError on failure, progress events delivered to
a Python callable, and cancel from any thread.

The library is looked up in this order: the path in ZKDOWNLOAD_LIBRARY, a
libzkdownload.so beside this package, the system loader's search path.
"""

import ctypes
import os
import threading
from ctypes import POINTER, c_char, c_char_p, c_int, c_short, c_uint, c_ushort, c_void_p
from dataclasses import dataclass
from typing import Callable, Optional, Union

__all__ = [
    "Library", "ZkError", "HostEvent", "load",
    "EVENT_PROGRESS_OPEN", "EVENT_PROGRESS_CLOSE", "EVENT_PROGRESS_TEXT", "EVENT_PROGRESS_BAR",
    "EVENT_ADDRESS_MODE", "EVENT_MESSAGE", "EVENT_ERROR_DIALOG", "EVENT_END_DIALOG",
    "EVENT_ASK_SAVE_FILE", "EVENT_ASK_OPEN_FILE", "CONTROL_STATUS", "CONTROL_DETAIL", "CONTROL_ELAPSED",
    "CONTROL_FIRST_ADDRESS", "CONTROL_SECOND_ADDRESS", "ANSWER_DEFAULT", "ANSWER_OK", "ANSWER_CANCEL",
    "ANSWER_YES", "ANSWER_NO", "ANSWER_END", "ANSWER_CLOSED", "CAUSE_CANCELLED", "OPERATION_NOT_AVAILABLE",
    "OPERATION_BUSY",
]

# The numbers of zkdownload.h.
EVENT_PROGRESS_OPEN, EVENT_PROGRESS_CLOSE, EVENT_PROGRESS_TEXT, EVENT_PROGRESS_BAR = 1, 2, 3, 4
EVENT_ADDRESS_MODE, EVENT_MESSAGE, EVENT_ERROR_DIALOG, EVENT_END_DIALOG = 5, 6, 7, 8
EVENT_ASK_SAVE_FILE, EVENT_ASK_OPEN_FILE = 9, 10
CONTROL_STATUS, CONTROL_DETAIL, CONTROL_ELAPSED, CONTROL_FIRST_ADDRESS, CONTROL_SECOND_ADDRESS = 0, 1, 2, 3, 4
ANSWER_DEFAULT, ANSWER_OK, ANSWER_CANCEL, ANSWER_YES, ANSWER_NO, ANSWER_END, ANSWER_CLOSED = 0, 1, 2, 3, 4, 5, 6
CAUSE_CANCELLED = 90
OPERATION_NOT_AVAILABLE = 999000
OPERATION_BUSY = 998000  # GetLastResult on a thread whose call was refused while another ran


class PortInfo(ctypes.Structure):
    _fields_ = [("portName", c_char * 16), ("devicePath", c_char * 512), ("friendlyName", c_char * 256),
                ("usb", c_int), ("handsetUsbPort", c_int)]


class _HostEvent(ctypes.Structure):
    _fields_ = [("size", c_int), ("type", c_int), ("portIndex", c_int), ("operationKind", c_int),
                ("control", c_int), ("low", c_int), ("high", c_int), ("position", c_int), ("on", c_int),
                ("buttons", c_int), ("defaultAnswer", c_int), ("code", c_int), ("title", c_char_p),
                ("text", c_char_p), ("detail", c_char_p), ("answerText", POINTER(c_char)), ("answerSize", c_int)]


class EfsEntry(ctypes.Structure):
    _fields_ = [("path", c_char * 128), ("type", ctypes.c_uint), ("size", ctypes.c_uint)]


HOST_CALLBACK = ctypes.CFUNCTYPE(c_int, POINTER(_HostEvent), c_void_p)

# Every export of zkdownload.h: (result type, argument types).
EXPORTS = {
    "fnPassPara_Interface": (c_int, [c_short, POINTER(c_int), c_void_p, c_int, c_int, POINTER(c_int), c_void_p,
                                     c_void_p, c_char_p, c_char_p, c_char_p, c_char_p, c_char_p, c_int, c_int, c_int]),
    "GetModelName_Interface": (c_char_p, []),
    "GetBINVersion_Interface": (c_char_p, []),
    "GetModelKind_Interface": (c_char_p, []),
    "GetSPCAddress_Interface": (c_ushort, []),
    "GetPRLItemNum_Interface": (c_int, []),
    "GetERIItemNum_Interface": (c_int, []),
    "EnumeratePorts_Interface": (c_int, [POINTER(PortInfo), c_int]),
    "PRLWrite_Interface": (c_int, [c_short, c_char_p, c_char_p, c_char_p, c_int, c_short]),
    "PRLWriteUSB_Interface": (c_int, [c_short, c_char_p, c_char_p, c_char_p, c_int, c_short, c_short, c_short, c_short]),
    "PRLRead_Interface": (c_int, [c_short, c_char_p, c_char_p, c_char_p, c_int, c_short]),
    "PRLReadUSB_Interface": (c_int, [c_short, c_char_p, c_char_p, c_char_p, c_int, c_short, c_short, c_short, c_short]),
    "Emergency_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_char, c_short]),
    "EmergencyUSB_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_char, c_short, c_short, c_short, c_short]),
    "Upgrade_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_char_p, c_char_p, c_int, c_char_p, c_char,
                                  c_short]),
    "UpgradeNew_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_char_p, c_char_p, c_int, c_char_p, c_char,
                                     c_short, c_char_p]),
    "UpgradeUSB_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_char_p, c_char_p, c_int, c_char_p, c_char,
                                     c_short, c_char_p, c_short, c_short, c_short]),
    "SCRDownload_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_char_p, c_int, c_short]),
    "SCRDownloadNew_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_char_p, c_int, c_short, c_char_p]),
    "SCRDownloadUSB_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_char_p, c_int, c_short, c_char_p,
                                         c_short, c_short, c_short]),
    "BINDownload_Interface": (c_int, [c_short, c_char_p, c_char_p, c_char_p, c_char, c_short]),
    "BINDownloadUSB_Interface": (c_int, [c_short, c_char_p, c_char_p, c_char_p, c_char, c_short, c_short, c_short,
                                         c_short]),
    "Refurbish_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_short]),
    "RefurbishUSB_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_short, c_short, c_short, c_short]),
    "NVEdit_Interface": (c_int, [c_short, c_int, c_char_p, c_short]),
    "NVEditUSB_Interface": (c_int, [c_short, c_int, c_char_p, c_short, c_short, c_short, c_short]),
    "NVEditLastWrite_Interface": (c_int, []),
    "BackupFileWrite_Interface": (c_int, [c_short, c_int, c_char_p, c_short]),
    "BackupFileWriteUSB_Interface": (c_int, [c_short, c_int, c_char_p, c_short, c_short, c_short, c_short]),
    "ERIWrite_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_short]),
    "ERIWriteUSB_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_short, c_short, c_short, c_short]),
    "ERIRead_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_short]),
    "ERIReadUSB_Interface": (c_int, [c_short, c_int, c_char_p, c_char_p, c_short, c_short, c_short, c_short]),
    "DataBackupRead_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short]),
    "DataBackupReadUSB_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short, c_short, c_short, c_short]),
    "DataBackupWrite_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short]),
    "DataBackupWriteUSB_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short, c_short, c_short, c_short]),
    "Refurbish_UPST_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short]),
    "RefurbishUSB_UPST_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short, c_short, c_short, c_short]),
    "ScriptDown_UPST_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short]),
    "ScriptDownUSB_UPST_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short, c_short, c_short, c_short]),
    "ProvisionWrite_UPST_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short]),
    "EriRead_UPST_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short]),
    "EriWrite_UPST_Interface": (c_int, [c_short, c_char_p, c_char_p, c_short]),
    "ReadHandsetIdentity_Interface": (c_int, [c_short, c_short, c_char_p, POINTER(c_uint), c_char_p, POINTER(c_uint),
                                              POINTER(c_uint)]),
    "GetLastResult_Interface": (c_int, []),
    "GetPortError_Interface": (c_int, [c_char_p, c_int]),
    "GetHandsetSeen_Interface": (c_int, [POINTER(c_uint), c_char_p, c_int]),
    "GetBinDownloadRun_Interface": (c_int, [c_char_p, c_int, c_char_p, c_int]),
    "GetOperationRun_Interface": (c_int, [c_char_p, c_int, c_char_p, c_int]),
    "GetWaitNote_Interface": (c_int, [c_char_p, c_int]),
    "GetFailureNote_Interface": (c_int, [c_char_p, c_int]),
    "GetFailurePath_Interface": (c_int, [c_char_p, c_int]),
    "GetFailureTexts_Interface": (c_int, [c_int, c_char_p, c_int, c_char_p, c_int, c_char_p, c_int]),
    "PIMRead_Interface": (c_int, [c_short, c_char_p, c_char_p, c_char_p]),
    "PIMWrite_Interface": (c_int, [c_short, c_char_p, c_char_p, c_char_p, c_ushort, c_short, c_short, c_short]),
    "SetHostCallback_Interface": (c_int, [HOST_CALLBACK, c_void_p]),
    "Cancel_Interface": (c_int, []),
    "GetVersion_Interface": (c_int, [c_char_p, c_int]),
    "EfsList_Interface": (c_int, [c_short, c_char_p, c_int, POINTER(EfsEntry), c_int, POINTER(c_int)]),
    "EfsGet_Interface": (c_int, [c_short, c_char_p, c_char_p]),
    "EfsPut_Interface": (c_int, [c_short, c_char_p, c_char_p]),
    "EfsBackup_Interface": (c_int, [c_short, c_char_p]),
    "EfsRestore_Interface": (c_int, [c_short, c_char_p]),
    "NvBackupToFile_Interface": (c_int, [c_short, c_char_p, c_char_p]),
    "NvRestoreFromFile_Interface": (c_int, [c_short, c_char_p, c_char_p]),
    "NvReadItem_Interface": (c_int, [c_short, c_char_p, c_int, c_int, c_void_p, c_int, POINTER(c_int),
                                     POINTER(c_int)]),
    "NvWriteItem_Interface": (c_int, [c_short, c_char_p, c_int, c_int, c_void_p, c_int, POINTER(c_int)]),
}


class ZkError(Exception):
    """An operation export failed: `code` is its failure code (location x 1000
    + cause), with the error dialog's location, contents and solution texts."""

    def __init__(self, code: int, location: str, contents: str, solution: str):
        super().__init__(f"{code}: {location or 'unknown step'}: {contents or 'no description'}")
        self.code, self.location, self.contents, self.solution = code, location, contents, solution

    @property
    def cancelled(self) -> bool:
        return self.code % 1000 == CAUSE_CANCELLED


@dataclass(frozen=True)
class HostEvent:
    """One progress change or dialog, as the library sent it (texts decoded)."""
    type: int
    port_index: int
    operation_kind: int
    control: int
    low: int
    high: int
    position: int
    on: bool
    buttons: int
    default_answer: int
    code: int
    title: str
    text: str
    detail: str


# What a progress callable returns: None or ANSWER_DEFAULT for the default,
# another ANSWER_* number, or a path (file dialogs).
Answer = Union[None, int, str]


def _text(raw: Optional[bytes]) -> str:
    return raw.decode("utf-8", "replace") if raw else ""


def _arg(value: Union[str, os.PathLike, None]) -> Optional[bytes]:
    return None if value is None else os.fsencode(value)


def _library_path() -> str:
    explicit = os.environ.get("ZKDOWNLOAD_LIBRARY")
    if explicit:
        return explicit
    beside = os.path.join(os.path.dirname(os.path.abspath(__file__)), "libzkdownload.so")
    return beside if os.path.exists(beside) else "libzkdownload.so"


class Library:
    """The loaded library. `raw` holds every export with its C types."""

    def __init__(self, path: Optional[str] = None):
        self.raw = ctypes.CDLL(path or _library_path())  # calls release the GIL while they run
        for name, (restype, argtypes) in EXPORTS.items():
            function = getattr(self.raw, name)
            function.restype, function.argtypes = restype, argtypes
        self._callback = None  # the C thunk must outlive its registration
        self._callback_error: Optional[BaseException] = None

    # --- results -------------------------------------------------------
    def last_result(self) -> int:
        return self.raw.GetLastResult_Interface()

    def failure_texts(self, code: int) -> tuple:
        buffers = [ctypes.create_string_buffer(512) for _ in range(3)]
        self.raw.GetFailureTexts_Interface(code, buffers[0], 512, buffers[1], 512, buffers[2], 512)
        return tuple(_text(buffer.value) for buffer in buffers)

    def _check(self, returned: int) -> None:
        error, self._callback_error = self._callback_error, None
        if error is not None:
            raise error
        if returned == 1:
            return
        code = self.last_result()
        location, contents, solution = self.failure_texts(code)
        if "%s" in contents:  # a file-system failure: the handset path it failed on
            path = ctypes.create_string_buffer(512)
            self.raw.GetFailurePath_Interface(path, 512)
            contents = contents.replace("%s", _text(path.value), 1)
        raise ZkError(code, location, contents, solution)

    # --- operations ------------------------------------------------------
    def prl_write(self, path, nam: int = 0, port: int = 0, spc: str = "", kind: int = 0) -> None:
        """Writes the PRL file at `path` to NAM `nam` (2: both) of the handset at
        port index `port` (0 is COM1). Raises ZkError on failure."""
        self._check(self.raw.PRLWriteUSB_Interface(kind, b"", spc.encode(), _arg(path), nam, port, 0, 0, -1))

    def prl_read(self, path, nam: int = 0, port: int = 0, spc: str = "", kind: int = 0) -> None:
        """Reads the PRL of NAM `nam` from the handset at port index `port` into
        the file `path`. Raises ZkError on failure."""
        self._check(self.raw.PRLReadUSB_Interface(kind, b"", spc.encode(), _arg(path), nam, port, 0, 0, -1))

    def eri_write(self, path, port: int = 0, spc: str = "", kind: int = 0) -> None:
        """Writes the ERI file at `path` as the handset's /eri/eri.bin, then
        resets it (about 40 s at time scale 1). Raises ZkError on failure."""
        self._check(self.raw.EriWrite_UPST_Interface(kind, spc.encode(), _arg(path), port))

    def eri_read(self, path, port: int = 0, spc: str = "", kind: int = 0) -> None:
        """Copies the handset's /eri/eri.bin into the file `path`."""
        self._check(self.raw.EriRead_UPST_Interface(kind, spc.encode(), _arg(path), port))

    def efs_list(self, directory: str = "/", recursive: bool = False, port: int = 0) -> list:
        """The entries of a handset directory as (path, is_directory, size)."""
        count = c_int(0)
        entries = (EfsEntry * 256)()
        self._check(self.raw.EfsList_Interface(port, directory.encode(), int(recursive), entries, 256,
                                               ctypes.byref(count)))
        if count.value > 256:
            entries = (EfsEntry * count.value)()
            self._check(self.raw.EfsList_Interface(port, directory.encode(), int(recursive), entries,
                                                   count.value, ctypes.byref(count)))
        return [(_text(e.path), e.type == 1, e.size) for e in entries[:min(count.value, len(entries))]]

    def efs_get(self, handset_path: str, path, port: int = 0) -> None:
        """Copies a handset file to the PC file `path`."""
        self._check(self.raw.EfsGet_Interface(port, handset_path.encode(), _arg(path)))

    def efs_put(self, path, handset_path: str, port: int = 0) -> None:
        """Copies the PC file `path` to the handset."""
        self._check(self.raw.EfsPut_Interface(port, _arg(path), handset_path.encode()))

    def efs_backup(self, base_directory, port: int = 0) -> None:
        """Copies the handset's file system into base_directory/Efs_COM<port+1>."""
        self._check(self.raw.EfsBackup_Interface(port, _arg(base_directory)))

    def efs_restore(self, path, port: int = 0) -> None:
        """Writes path/Efs_COM<port+1> (or a brew_script directory) to the handset."""
        self._check(self.raw.EfsRestore_Interface(port, _arg(path)))

    def version(self) -> tuple:
        """(library version text, interface level)."""
        buffer = ctypes.create_string_buffer(64)
        level = self.raw.GetVersion_Interface(buffer, len(buffer))
        return buffer.value.decode(), level

    def cancel(self) -> bool:
        """Asks the running operation to stop; any thread. True when one ran."""
        return self.raw.Cancel_Interface() == 1

    # --- progress --------------------------------------------------------
    def set_progress_callback(self, function: Optional[Callable[[HostEvent], Answer]]) -> None:
        """Sends every progress change and dialog of the following operations
        to `function`, on the operation's thread; None restores the interface
        chosen by ZKDOWNLOAD_UI. An exception in `function` answers the event
        with its default and is raised when the operation returns."""
        if function is None:
            thunk = HOST_CALLBACK()  # a null function pointer
        else:
            def thunk_body(raw_event, _context):
                event = raw_event.contents
                try:
                    answer = function(HostEvent(event.type, event.portIndex, event.operationKind, event.control,
                                                event.low, event.high, event.position, bool(event.on),
                                                event.buttons, event.defaultAnswer, event.code, _text(event.title),
                                                _text(event.text), _text(event.detail)))
                    if isinstance(answer, str):
                        encoded = os.fsencode(answer)
                        if not event.answerText or len(encoded) >= event.answerSize:
                            return ANSWER_CANCEL
                        ctypes.memmove(event.answerText, encoded + b"\0", len(encoded) + 1)
                        return ANSWER_OK
                    return int(answer or ANSWER_DEFAULT)
                except BaseException as error:  # noqa: BLE001 - nothing may unwind into C
                    if self._callback_error is None:
                        self._callback_error = error
                    return ANSWER_DEFAULT
            thunk = HOST_CALLBACK(thunk_body)
        if self.raw.SetHostCallback_Interface(thunk, None) != 1:
            raise RuntimeError("an operation is running: the callback cannot change now")
        self._callback = thunk


_loaded: Optional[Library] = None
_lock = threading.Lock()


def load(path: Optional[str] = None) -> Library:
    """The process's one Library (a second dlopen would share its state)."""
    global _loaded
    with _lock:
        if _loaded is None:
            _loaded = Library(path)
        return _loaded
