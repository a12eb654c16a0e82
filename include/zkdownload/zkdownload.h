/**
 * @file zkdownload.h
 * @brief The C boundary of libzkdownload.so: every function a host program
 * calls to service an RB310 handset.
 *
 * The header compiles as C89, C99 and C++. Link with `-lzkdownload`
 * (`pkg-config --cflags --libs zkdownload`, or the CMake target
 * `zkdownload::zkdownload`), or load the library with dlopen() and look the
 * functions up by these plain names.
 *
 * @par Texts and buffers
 * Texts are NUL-terminated `const char*`; a null pointer stands for an empty
 * text. Each export copies the texts it is given and keeps no pointer to
 * them. Output buffers are written only where a function says so.
 *
 * @par Threads and blocking
 * Every export runs on the caller's thread and returns when its work is done;
 * the library starts no thread of its own. An operation export (PRL,
 * emergency, identity, upgrade, ...) blocks for the whole exchange with the
 * handset, fixed waits included (each function names its own). One
 * operation export runs at a time in a process: another operation export
 * entered while one runs, from another thread or from an operator-interface
 * callback, returns 0 at once and touches nothing (GetLastResult_Interface
 * still reports the running one). The query functions never block.
 *
 * @par Operation kinds
 * The first argument of every operation export, `kind`, is stored as the
 * current operation kind and shapes the flows: 0 and 1 select the staged,
 * unattended sequences (with a stage report when the host registered its
 * buffers), 2 and 3 the full backup-and-restore sequences with their model
 * checks and retries. Exports that give the kind no meaning only store it.
 *
 * @par Ports
 * Ports carry the names COM1 .. COM256. On Linux each name is an entry of the
 * port map: `$ZKDOWNLOAD_HOME/ports/COM<n>` is a symbolic link to the tty
 * device. Serial exports name the port with a 16-bit mask (`portMask`: bit n
 * selects COM(n+1); the lowest set bit wins, 0x0006 selects COM2; no bit
 * selects COM1). USB, data backup and unattended (UPST) exports take the
 * zero-based port index (`port`: 0 = COM1, 9 = COM10). The USB forms add
 * three link extras `param1`, `param2`, `param3`: they are stored with the
 * link parameters and nothing in the library acts on them (the other forms
 * store 0, 0, -1). A port whose friendly name marks it as the handset's own
 * USB modem port keeps its line rate; on a physical line the flows raise the
 * rate once the handset is in diagnostic mode.
 *
 * @par Result forms
 * - reporting: 1 on success. On failure 0 and the error dialog, or, after
 *   fnPassPara_Interface, the failure code in the host's result cell and no
 *   dialog.
 * - plain: 1 on success (1 also goes to a registered result cell); 0 on
 *   failure with nothing shown and the result cell untouched.
 * - silent: no progress window and no dialog; 1 on success, else 0.
 *
 * Whatever the form, GetLastResult_Interface gives the last operation's flow
 * result: 1, or a failure code (location x 1000 + cause) whose texts
 * GetFailureTexts_Interface returns. Exports not available in this version
 * fail with #ZK_RESULT_NOT_AVAILABLE at once, without touching a port, and
 * report it through their result form (a reporting export shows the error
 * dialog for it outside pass-parameter mode).
 *
 * @par Dialogs, files and helper programs
 * Outside pass-parameter mode and silent mode an operation shows a progress
 * window and ends in a dialog through the operator interface chosen by
 * ZKDOWNLOAD_UI: the end dialog "PROCESS END" ("OK" serves the next handset
 * on the same port, "END" stops) or, for a reporting export that failed, the
 * error dialog. When the operator confirms the error dialog with OK, the
 * library writes the error login file `error_login_COM<n>.txt` (model, date,
 * report text and the trace of the last received frames) beside the library
 * (the directory of the library path, see fnPassPara_Interface) and starts
 * the error-sending tool `$ZKDOWNLOAD_HOME/ErrorSend` with
 * `$ZKDOWNLOAD_HOME/Model/RB310/error_login_COM<n>.txt` as its argument,
 * without a shell and without waiting for it; a missing tool is not
 * reported. Service files the library reads in every mode:
 * `$ZKDOWNLOAD_HOME/ZKDownload.lsg` (settings, read at load: byte 65 turns
 * the NV editor option on), `$ZKDOWNLOAD_HOME/profile.ini` (section
 * `[CommPort Settings]`: the line settings, read when a port opens and saved
 * when it changes) and the port map `$ZKDOWNLOAD_HOME/ports/`.
 *
 * @par Environment
 * Read when the library loads and again at the start of each exported call,
 * never in between:
 * - `ZKDOWNLOAD_HOME`: directory of the settings file, profile, port map and
 *   error-sending tool; default `~/.zkdownload`.
 * - `ZKDOWNLOAD_UI`: the operator interface, `qt`, `console` (progress and
 *   prompts on the terminal's stderr) or `none` (headless). Unset: `qt` when
 *   libzkdownload-qt.so lies in the library's folder and DISPLAY,
 *   WAYLAND_DISPLAY or QT_QPA_PLATFORM is set; else `console` when standard
 *   input is a terminal; else `none`. The Qt interface is loaded with dlopen
 *   and, unless the host has started Qt itself, starts Qt on the X display
 *   (DISPLAY) or else the Wayland one (WAYLAND_DISPLAY), or on the platforms
 *   QT_QPA_PLATFORM names. Where none of them answers (a display on another
 *   machine is given 3 s), the library says why once on stderr and uses
 *   `console` (`qt` asked for by name, or a terminal) or `none` instead,
 *   rather than let Qt end the process.
 * - `ZKDOWNLOAD_ANSWERS`: comma-separated answers (`OK`, `END`, `Cancel`,
 *   `Yes`, `No`, or a file path for a file dialog) that the `none` and
 *   `console` interfaces consume in order before they fall back to their
 *   default (`none`: OK, END, the default button) or the terminal.
 * - `ZKDOWNLOAD_TIME_SCALE`: a positive factor applied to every fixed wait
 *   and time-out of the library (tests against the simulated handset use
 *   0.01 to 0.05); anything else reads as 1. Keep 1 for a real handset.
 * - `ZKDOWNLOAD_TRACE`: a file that receives every frame sent and received,
 *   in hex with timestamps and direction; unset, no trace.
 */
#ifndef ZKDOWNLOAD_ZKDOWNLOAD_H
#define ZKDOWNLOAD_ZKDOWNLOAD_H

#include "zkdownload/export.h"

/** The failure code of an operation that this version of the library does
 * not offer yet. Its location and cause are in no table, so it never reads
 * as success or as a handset fault. */
#define ZK_RESULT_NOT_AVAILABLE 999000

/** What GetLastResult_Interface answers on a thread whose latest operation
 * export was refused because another operation export was running in the
 * process (on another thread, or this thread's own callback calling back
 * in). The refused export returned 0 at once and touched nothing; other
 * threads still see the running operation's result. */
#define ZK_RESULT_BUSY 998000

/** The interface level this header describes. GetVersion_Interface returns
 * the level of the library actually loaded; a host that needs an export
 * added at level n checks that the loaded level is at least n. The level
 * rises by one whenever an export is added or an existing export gains a
 * behaviour a host may rely on; the library's minor version rises with it.
 * Removing an export or changing an export's arguments or a structure's
 * layout changes the SONAME's major number instead. */
#define ZK_INTERFACE_LEVEL 1

#ifdef __cplusplus
extern "C" {
#endif

/**
 * Registers the host's result buffers and switches (pass-parameter mode).
 *
 * A nonzero `mode` switches pass-parameter mode on (it stays on until the
 * library is unloaded) and replaces every stored value; from then on the
 * reporting exports put their failure code into `*resultCell` instead of
 * showing the error dialog, the flows skip their end dialogs and the staged
 * flows write the stage report. `mode` 0 stores nothing. The host keeps the
 * buffers valid while operations run; the library writes them without
 * further checks.
 *
 * @param mode             nonzero: register (pass-parameter mode on); 0: no change.
 * @param resultCell       receives operation results (see Result forms); may be null.
 * @param versionBuffer    at least 15 bytes: the handset's version text read back
 *                         after an upgrade or binary download.
 * @param unused4          not read.
 * @param unused5          not read.
 * @param countCell        the stage report's count of stages entered since load.
 * @param nameBuffer       1000 bytes: ten 100-byte slots of stage names.
 * @param timeBuffer       1000 bytes: ten 100-byte slots of stage durations, "MMSS".
 * @param hostText1        kept, not read by any operation.
 * @param hostText2        kept, not read by any operation.
 * @param hostText3        kept, not read by any operation.
 * @param fallbackDirectory directory holding a "brew_script" folder, used when
 *                         none lies beside a script file.
 * @param libraryPath      replaces the library's own path (whose directory
 *                         receives the error login file) unless it is longer than
 *                         a path may be (PATH_MAX bytes with its terminator), in
 *                         which case the previous path stays.
 * @param requirementFlags bit 3 (value 8) switches the input requirement check
 *                         of script download on; other bits are ignored.
 * @param calibrationCheck nonzero (the value at load is 1): the upgrade checks
 *                         the handset's calibration data.
 * @param requirementMask  bits 0x20, 0x10, 0x08 and 0x02 name the script
 *                         download inputs that must be present.
 * @return 1.
 */
ZK_API int fnPassPara_Interface(short mode, int* resultCell, unsigned char* versionBuffer, int unused4,
                                int unused5, int* countCell, unsigned char* nameBuffer,
                                unsigned char* timeBuffer, const char* hostText1, const char* hostText2,
                                const char* hostText3, const char* fallbackDirectory,
                                const char* libraryPath, int requirementFlags, int calibrationCheck,
                                int requirementMask);

/** @name Model identity
 * The texts belong to the library and stay valid while it is loaded; they
 * never depend on the pass-parameter registration. None of these block. */
/** @{ */
/** @return the model name, "RB310". */
ZK_API const char* GetModelName_Interface(void);
/** @return the prefix of the model's image file names, "RB31VV". */
ZK_API const char* GetBINVersion_Interface(void);
/** @return the model kind, "Tri Mode". */
ZK_API const char* GetModelKind_Interface(void);
/** @return the service programming code's NV address, 0 for this model. */
ZK_API unsigned short GetSPCAddress_Interface(void);
/** @return the NV item number of the roaming list, 2100. */
ZK_API int GetPRLItemNum_Interface(void);
/** @return the NV item number of the roaming indicator file, 2101. */
ZK_API int GetERIItemNum_Interface(void);
/** @} */

/**
 * The library's version and interface level.
 *
 * @param version receives the library version ("major.minor.patch"), cut to
 *                `size` bytes and always terminated; may be null.
 * @param size    size of `version` in bytes.
 * @return the interface level of the loaded library (compare with
 *         #ZK_INTERFACE_LEVEL). Does not block.
 */
ZK_API int GetVersion_Interface(char* version, int size);

/** One serial port as the library's port discovery sees it. Texts are cut to
 * fit their field and always terminated. */
typedef struct ZKPortInfo {
  char portName[16];      /**< "COM5" */
  char devicePath[512];   /**< the tty device the port map entry points at */
  char friendlyName[256]; /**< e.g. "RB310 CDMA USB Modem (COM5)"; the port name when none is known */
  int usb;                /**< 1: the device sits on a USB bus */
  int handsetUsbPort;     /**< 1: the operations treat the port as the handset's own USB modem port
                               (its friendly name marks it), so they leave its line rate alone */
} ZKPortInfo;

/**
 * Lists the ports of the port map in COM order. Reads the port map and sysfs
 * only; opens no port.
 *
 * @param ports    receives up to `capacity` entries; null only counts.
 * @param capacity number of entries `ports` holds; 0 only counts.
 * @return the number of ports known, which may exceed `capacity`, or -1 when
 *         the port map cannot be read.
 */
ZK_API int EnumeratePorts_Interface(ZKPortInfo* ports, int capacity);

/** @name PRL read and write
 * Common arguments: `kind` (stored only), `text` (not read), `spcCode` (the
 * six-digit service programming code; empty selects "271828"), `path` (the
 * PRL file on the PC), `portMask` or `port` with the link extras (see
 * Ports). A PRL file starts with its own size in two big-endian bytes.
 *
 * PRL write (reporting) enters diagnostic mode, takes the handset offline,
 * unlocks it with the code, sends the file in 40-byte blocks, resets the
 * handset (each block answered within 40 s, the reset within 15 s) and
 * waits 20 s for the restart: the switch into diagnostic mode plus at least
 * 22.6 s of fixed waits per handset. Outside pass-parameter mode it then
 * shows the end dialog; "OK" serves the next handset on the same port in the
 * same call.
 * Writes only the handset. Failure codes 402000..406000.
 *
 * PRL read (plain) enters diagnostic mode and reads the roaming list of one
 * NAM (each answer within 3 s) into `path`, written beside it under a
 * temporary name and renamed when complete, so an existing file survives a
 * failed read. No restart wait. Failure codes 401034, 401035, 401063 (the
 * handset holds no list for that NAM: no file is written), 407000 + r.
 */
/** @{ */
/**
 * Writes a PRL file into the handset (reporting).
 * @param kind     operation kind, stored.
 * @param text     not read.
 * @param spcCode  service programming code; empty: "271828".
 * @param path     the PRL file.
 * @param nam      0 first NAM, 1 second NAM, 2 both from the same file.
 * @param portMask the port (see Ports).
 * @return 1 written and restarted, else 0.
 */
ZK_API int PRLWrite_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                              short portMask);
/**
 * PRLWrite_Interface on a port index.
 * @param kind operation kind. @param text not read. @param spcCode code; empty: "271828".
 * @param path the PRL file. @param nam 0, 1 or 2 (both). @param port zero-based port index.
 * @param param1 link extra. @param param2 link extra. @param param3 link extra.
 * @return 1 written and restarted, else 0.
 */
ZK_API int PRLWriteUSB_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                                 short port, short param1, short param2, short param3);
/**
 * Reads the PRL of one NAM into a file (plain).
 * @param kind     operation kind, stored.
 * @param text     not read.
 * @param spcCode  service programming code; empty: "271828".
 * @param path     the file to write.
 * @param nam      the NAM to read, 0 or 1.
 * @param portMask the port (see Ports).
 * @return 1 when the file holds the handset's list, else 0.
 */
ZK_API int PRLRead_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                             short portMask);
/**
 * PRLRead_Interface on a port index.
 * @param kind operation kind. @param text not read. @param spcCode code; empty: "271828".
 * @param path the file to write. @param nam the NAM to read. @param port zero-based port index.
 * @param param1 link extra. @param param2 link extra. @param param3 link extra.
 * @return 1 when the file holds the handset's list, else 0.
 */
ZK_API int PRLReadUSB_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                                short port, short param1, short param2, short param3);
/** @} */

/** @name Emergency download
 * Rescues a handset that offers only its downloader (plain): opens the port
 * without AT commands or diagnostic requests and burns the boot loader, boot
 * image and main image through the download protocol, with a progress
 * window and no end or error dialog. The boot loader ("BOOT_LOADER.bin") is
 * looked up beside the library (the directory of the library path), the boot
 * logo ("small_bootup_logo.bin") beside the image. Blocks for the whole
 * download: about 5 s before the burn, one acknowledgement per 2 KiB block
 * (so the time grows with the image size and the line rate), then 30 s for
 * the handset to restart with the new image. Failure codes 201000 + r
 * (image), 601000 (port), 602000 + r (download).
 */
/** @{ */
/**
 * Emergency download on a serial port.
 * @param kind      operation kind, stored.
 * @param unused    not read.
 * @param text      not read.
 * @param imagePath the main image file ("RB31VV..." by convention).
 * @param flag      handed to the flash engine with the image; not read.
 * @param portMask  the port (see Ports).
 * @return 1 when every image was burned and confirmed, else 0.
 */
ZK_API int Emergency_Interface(short kind, int unused, const char* text, const char* imagePath, char flag,
                               short portMask);
/**
 * Emergency_Interface on a port index.
 * @param kind operation kind. @param unused not read. @param text not read.
 * @param imagePath the main image file. @param flag not read. @param port zero-based port index.
 * @param param1 link extra. @param param2 link extra. @param param3 link extra.
 * @return 1 when every image was burned and confirmed, else 0.
 */
ZK_API int EmergencyUSB_Interface(short kind, int unused, const char* text, const char* imagePath, char flag,
                                  short port, short param1, short param2, short param3);
/** @} */

/** @name Firmware upgrade (reporting)
 * Replaces the handset's firmware and brings it back provisioned, on the
 * calling thread. Kinds 0 and 1 run the staged sequence: diagnostic mode,
 * the calibration check (unless the host switched it off through
 * fnPassPara_Interface), NV backup read, image burn, mode entry and version
 * read-back, offline, NV restore, then the PRL, the ERI file, the BREW script
 * directory ("brew_script" beside the script, else in the host's fallback
 * directory) and the script when given. Every other kind runs the full
 * sequence: the image's file name must begin with "RB31VV" (any case; else
 * 121000 before the handset is touched), then NV and authentication items
 * and the whole handset file system are saved to the PC, the image is
 * burnt, the file system, PRL, script, NV items, authentication items and
 * ERI file are written back, and the handset is reset and must come back.
 *
 * Arguments: `kind` (0, 1 staged; other values full), `value` (not read),
 * `text1` the service programming code (empty: "271828"), `text2` the image
 * file (read anew by every call), `text3` the script file (empty: no BREW
 * directory and no script), `text4` the PRL file (empty: no PRL), `value2`
 * the PRL's NAM selector (0, 1, 2 both), `text5` the directory below which
 * the full sequence keeps the file-system copy ("Efs_COM<n>"; removed once
 * the handset holds it again, kept after a failure), `flag` handed to the
 * flash engine, `portMask`/`port`, `extraText` the ERI file (empty: no ERI;
 * Upgrade_Interface has none). Link extras: 0, 0, -1 for Upgrade_Interface,
 * -1, 0, -1 for UpgradeNew_Interface, the caller's for UpgradeUSB_Interface.
 *
 * Host buffers (fnPassPara_Interface): the result cell gets 1 or the failure
 * code; the staged kinds (and kinds above 3) write their stages into the
 * stage name/time buffers and count cell; the version buffer gets the
 * version the handset reports after the burn. A script that ended with
 * warnings gives 108000 to such a host; without buffers the error dialog
 * shows 50 and the call still succeeds. Without buffers the end dialog
 * ("PROCESS END") may start the next handset; with buffers one handset.
 *
 * Blocking: the burn itself plus fixed waits (scaled by
 * ZKDOWNLOAD_TIME_SCALE): the staged sequence 10 s at the end of each
 * handset; the full sequence 3 s after the burn, 25 s + 8 s after a script
 * and 20 s after the reset. A handset that does not come back after the burn
 * (full sequence) is asked for four times, with the message "Please reboot
 * phone and then retry! We try 3 times." between tries.
 *
 * Files: a failure after the NV items were read and before they were
 * written back saves them to a .bak file (kinds 2 and 3: the file the
 * operator chooses, else "COM<n>_MMDDhhmmss.bak" in the current directory),
 * readable by BackupFileWrite_Interface. The calling process's current
 * directory is left unchanged.
 */
/** @{ */
/** Firmware upgrade on a serial port; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 image.
 * @param text3 script. @param text4 PRL. @param value2 NAM selector. @param text5 backup directory.
 * @param flag flash engine flag. @param portMask the port.
 * @return 1 when the handset holds the new image and its items again, else 0 (the code goes to the
 * result cell or the error dialog). */
ZK_API int Upgrade_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                             const char* text4, int value2, const char* text5, char flag, short portMask);
/** Upgrade_Interface with an ERI file; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 image.
 * @param text3 script. @param text4 PRL. @param value2 NAM selector. @param text5 backup directory.
 * @param flag flash engine flag. @param portMask the port. @param extraText ERI file.
 * @return 1 on success, else 0. */
ZK_API int UpgradeNew_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                const char* text4, int value2, const char* text5, char flag, short portMask,
                                const char* extraText);
/** Upgrade on a port index; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 image.
 * @param text3 script. @param text4 PRL. @param value2 NAM selector. @param text5 backup directory.
 * @param flag flash engine flag. @param port zero-based port index. @param extraText ERI file.
 * @param param1 link extra. @param param2 link extra. @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int UpgradeUSB_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                const char* text4, int value2, const char* text5, char flag, short port,
                                const char* extraText, short param1, short param2, short param3);
/** @} */

/** @name Script download (reporting)
 * Provisions a handset that already runs its firmware: enters diagnostic
 * mode (and raises a serial line to 115200 bit/s), goes offline, unlocks,
 * checks the calibration data, clears user content from the file system
 * (kinds 0 and 1), writes the PRL and the ERI file when given, writes the
 * "brew_script" directory found beside the script (else in the fallback
 * directory registered with fnPassPara_Interface) into the handset (kinds 0
 * and 1 only when its "brew/version.txt" differs from the handset), and runs
 * the script, copying files from its "efs_scr" folder.
 *
 * Blocks on the caller's thread for the whole download: mode entry, a 2 s
 * settle, every transfer and script line with its WAITs, then 30 s (kinds 2
 * and 3, after which diagnostic mode is entered again to prove the restart)
 * or 10 s (kinds 0 and 1), all scaled by ZKDOWNLOAD_TIME_SCALE. Without
 * pass-parameter mode the end dialog then offers the next handset.
 *
 * Dialogs: the progress window; kinds 2 and 3 ask "Cal data is not
 * found!!" when the calibration check fails (Cancel fails with 303000); a
 * script that ran with warnings shows the error dialog with code 50 (in
 * pass-parameter mode it fails with 305000 instead); failures show the error
 * dialog (or go to the result cell) and write error_login_COM<n>.txt.
 * Codes: 0 (a required input missing; pass-parameter mode with the
 * requirement switch, kinds 0 and 1), 301000 + r mode entry, 301001 rate
 * change, 403000 + r offline, 404000 + r unlock, 303000 calibration,
 * 302000 + r PRL, 415000 ERI, 306000 no "brew_script" directory,
 * 107000 + r BREW directory write, 305000 + r the script (46 unreadable,
 * 53 abandoned). Files read: the script, its efs_scr files, the PRL, the ERI
 * and the brew_script tree; nothing on the PC is written but the error
 * login file.
 * Arguments: `kind` (0, 1 staged with file-system clearing; other values
 * full), `value` (not read), `text1` the service programming code (empty:
 * "271828"), `text2` the script file, `text3` the PRL file (empty: no PRL),
 * `value2` the PRL's NAM selector, `portMask`/`port`, `extraText` the ERI
 * file (empty: no ERI).
 */
/** @{ */
/** Script download on a serial port; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 script.
 * @param text3 PRL. @param value2 NAM selector. @param portMask the port.
 * @return 1 on success, else 0. */
ZK_API int SCRDownload_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                 int value2, short portMask);
/** SCRDownload_Interface with an ERI file; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 script.
 * @param text3 PRL. @param value2 NAM selector. @param portMask the port. @param extraText ERI file.
 * @return 1 on success, else 0. */
ZK_API int SCRDownloadNew_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                    int value2, short portMask, const char* extraText);
/** Script download on a port index; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 script.
 * @param text3 PRL. @param value2 NAM selector. @param port zero-based port index.
 * @param extraText ERI file. @param param1 link extra. @param param2 link extra. @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int SCRDownloadUSB_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                    int value2, short port, const char* extraText, short param1, short param2,
                                    short param3);
/** @} */

/** @name Binary download (reporting)
 * Burns a firmware image alone, keeping the handset's NV items: enters
 * diagnostic mode, reads the calibration NV items, switches the handset to
 * its downloader and burns the boot loader ("BOOT_LOADER.bin" beside the
 * library, when present), the boot logo ("small_bootup_logo.bin" beside the
 * image, when present) and the image, waits 15 s for the restart, enters
 * diagnostic mode again, reads the version back, writes the NV items back
 * and resets the handset.
 *
 * Kinds 2 and 3 add: the image's file name must begin with "RB31VV" (any
 * case; otherwise 121000 before the handset is touched), the authentication
 * items are read and written back, the mode entry after the restart is tried
 * four times with the message box "Please reboot phone and then retry! We
 * try 3 times." between tries, and a final mode entry 30 s after the reset
 * proves that the handset came back. Other kinds run the short sequence.
 *
 * Success means the handset came back, answered diagnostics and reported a
 * version; when the image begins with "RB310VER=" and 8 characters, the
 * reported software version must be those 8 characters (else 314000).
 *
 * Buffers registered through fnPassPara_Interface (pass-parameter mode):
 * the version label ("<version>_<nn>", at most 14 characters and its
 * terminator) is written into the 15-byte version buffer; with kinds other
 * than 2 and 3 the stage report is kept: "DXX01", "DXX05",
 * "DownLoadThread", "DXX02", "DXX06", " Mode Reset", "END" go into the
 * 100-byte slots of the 1000-byte name buffer, each stage's duration "MMSS"
 * into the time buffer when the next stage is entered, and the count cell
 * receives the number of stages entered since the library was loaded.
 * Stages beyond the tenth are counted but never written past the 1000-byte
 * buffers. In pass-parameter mode one handset is served per call; otherwise
 * the end dialog's OK serves the next handset with the same image.
 *
 * Blocks for the whole run: the mode entries, the NV passes (a few seconds
 * each), about 5 s before the burn, one acknowledgement per 2 KiB block,
 * 30 s after the downloader reset, 15 s for the restart, and with kinds 2
 * and 3 another 30 s before the final check. Shows the progress window, the
 * end dialog, and on failure the error dialog (which writes
 * "error_login_COM<n>.txt" and, when the handset was already in its
 * downloader, saves the NV items to a "COM<n>_MMDDhhmmss.bak" file, or asks
 * for the name with kinds 2 and 3).
 *
 * Failure codes: 201000 + r (image: 201020 unreadable), 121000 (image name),
 * 202000 + r (mode entry; with kinds 2 and 3 also the final check),
 * 203000 + r (NV or authentication read), 204000 + r (download),
 * 205000 + r (mode entry after the restart), 314000 (version not read back,
 * or not the image's), 206000 + r (NV or authentication write), 207000
 * (reset).
 */
/** @{ */
/** Binary download on a serial port; see the group.
 * @param kind operation kind: 2 and 3 the full sequence, others the short one.
 * @param text not read.
 * @param spcCode service programming code; null or empty: "271828".
 * @param imagePath the image file.
 * @param flag not read.
 * @param portMask the port (see Ports).
 * @return 1 when the handset came back with the image, else 0. */
ZK_API int BINDownload_Interface(short kind, const char* text, const char* spcCode, const char* imagePath, char flag,
                                 short portMask);
/** Binary download on a port index; see the group.
 * @param kind operation kind. @param text not read. @param spcCode code; empty: "271828".
 * @param imagePath the image file. @param flag not read. @param port zero-based port index.
 * @param param1 link extra. @param param2 link extra. @param param3 link extra.
 * @return 1 when the handset came back with the image, else 0. */
ZK_API int BINDownloadUSB_Interface(short kind, const char* text, const char* spcCode, const char* imagePath,
                                    char flag, short port, short param1, short param2, short param3);
/** What the last binary download saw, for the host's own log. Call it after
 * the export has returned; it never blocks and touches no port.
 * @param versionBefore receives the 8-character software version the handset
 *                      reported at the first mode entry (empty when none was
 *                      read), cut to `versionSize` bytes and always terminated;
 *                      may be null.
 * @param versionSize   size of `versionBefore` in bytes.
 * @param stages        receives the names of the stages entered, in order,
 *                      separated by ';' (every kind, with or without
 *                      registered buffers), cut to `stagesSize` bytes and
 *                      always terminated; may be null.
 * @param stagesSize    size of `stages` in bytes.
 * @return the number of stages entered. */
ZK_API int GetBinDownloadRun_Interface(char* versionBefore, int versionSize, char* stages, int stagesSize);
/** What the last binary download, upgrade or refurbish saw, with the time
 * each stage took, for a service record. Call it after the export has
 * returned; it never blocks and touches no port.
 * @param versionBefore as for GetBinDownloadRun_Interface.
 * @param versionSize   size of `versionBefore` in bytes.
 * @param stages        receives "NAME=MS;NAME=MS...": each stage entered, in
 *                      order, with the milliseconds from its start to the
 *                      next stage's (the last one: to the flow's return),
 *                      cut to `stagesSize` bytes and always terminated; may
 *                      be null. Stage names never hold '=' or ';'.
 * @param stagesSize    size of `stages` in bytes.
 * @return the number of stages entered. */
ZK_API int GetOperationRun_Interface(char* versionBefore, int versionSize, char* stages, int stagesSize);
/** @} */

/** @name Refurbish (reporting)
 * Enters diagnostic mode (raising the line to 115200 bit/s unless the port
 * is the handset's USB modem port), reads the NV and authentication items,
 * erases the handset's whole file system through its downloader, enters
 * diagnostic mode again, writes the items back, writes the "brew_script"
 * directory beside the script into the handset and runs the script (NV
 * writes, SPC, MODE, copies from its "efs_scr" folder, WAIT).
 * Arguments: `kind` (2, 3: the mode entry after the erase is tried up to
 * four times, with the message box "Please reboot phone and then retry! We
 * try 3 times." after each of the first three failures; other kinds try
 * once), `ignored` not read, `text1` the service programming code (empty:
 * "271828"), `text2` the script, `portMask`/`port`; the link extras are
 * always 0, 0 and -1. A script that cannot be read, or a missing
 * "brew_script" directory, fails (506046, 506028) before the handset is
 * touched.
 *
 * Blocks for the whole run: the mode entries, the NV and authentication
 * passes, 3 s of pauses, the erase with 20 s for the handset's restart, the
 * NV write, the directory write, every line of the script, then 20 s for the
 * final restart. Shows the progress window, the error dialog (writes
 * "error_login_COM<n>.txt" and starts the error-sending helper when
 * confirmed) and, without registered buffers, the end dialog: OK serves the
 * next handset with the same script; with buffers one handset per call. A
 * script that warns shows the error dialog with code 50 and the run goes on
 * (GetFailureNote_Interface then says so); with registered buffers nobody
 * reads the dialog, so the warning fails the run with 506050. With kinds
 * other than 2 and 3 and registered buffers the stages "NV Reading",
 * "EFS Erasing " (trailing blank), "ChangeToDM..." and "END" go into the
 * stage report. A failure after the erase leaves the items only in memory:
 * the error dialog saves them to a "COM<n>_MMDDhhmmss.bak" file in the
 * working directory (kinds 2 and 3 ask for the name); with registered
 * buffers the file is written with the automatic name and
 * GetFailureNote_Interface names it.
 *
 * Failure codes: 501000 + r (mode entry), 301001 (line rate), 502000 + r
 * (NV or authentication read), 503000 (erase), 504000 + r (mode entry after
 * the erase), 505000 + r (NV or authentication write), 506000 + r (the
 * brew_script write, or the script: 46 unreadable, 50 warnings, 53
 * abandoned).
 */
/** @{ */
/** Refurbish on a serial port; see the group.
 * @param kind operation kind. @param ignored not read. @param text1 code. @param text2 script.
 * @param portMask the port.
 * @return 1 on success, else 0. */
ZK_API int Refurbish_Interface(short kind, int ignored, const char* text1, const char* text2, short portMask);
/** Refurbish on a port index; see the group.
 * @param kind operation kind. @param ignored not read. @param text1 code. @param text2 script.
 * @param port zero-based port index. @param param1 link extra. @param param2 link extra.
 * @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int RefurbishUSB_Interface(short kind, int ignored, const char* text1, const char* text2, short port,
                                  short param1, short param2, short param3);
/** @} */

/** @name NV editor, NV backup file write, ERI write and read (plain)
 * - NV editor: switches the handset into diagnostic mode (unlocking it
 *   with `text`, the service programming code; empty: "271828"), reads
 *   every NV item into the library's NV image (progress window; 514 reads)
 *   and the call-history counters from "pim/call_hist_nv.dat", closes the
 *   port and runs the NV editor dialog of the operator interface (Qt: the
 *   "NV Edit" window; console: tables and commands on the terminal; none:
 *   leaves at once). The call blocks until the operator leaves the editor.
 *   Inside it, "Read" reads the handset again (with "271828") and waits 7 s
 *   before the pages refill; "Write" checks every edited value (a refused
 *   one is named in a message box and nothing is sent), writes every item
 *   the last read got, with the edits, except the selected NAM's
 *   NV_A_KEY_I and NV_COUNT_I, resets the handset and waits 35 s, then
 *   shows "NV Item Write Completed!". Failures inside the editor are shown
 *   at once in the error dialog: 705000 + r / 706000 + r (Read: mode entry
 *   / NV read), 703000 + r (Write: mode entry), 704000 + r (Write: the NV
 *   restore; the editor then closes). Returns 1 when the operator leaves
 *   with "Exit" or the close box; 0 otherwise (GetLastResult_Interface:
 *   701000 + r mode entry, 702000 + r the first NV read, 704000 + r the
 *   write that closed the editor, 707000 no dialog). `value` is not read;
 *   the library stays in NV editor mode until a write completes.
 *   NVEditLastWrite_Interface tells how the last "Write" ended. Dialogs:
 *   the progress window during each handset step, message boxes (a refused
 *   value, "Can't read pim/call_hist_nv.dat file from phone !!", "NV Item
 *   Write Completed!"), the error dialog for the failures above. Buffers:
 *   only the result cell (1) in pass-parameter mode; the NV image the
 *   editor read stays in the library. Blocks for the reads (about 514
 *   exchanges), then as long as the operator keeps the editor open.
 * - NV backup file write: asks for a ".bak" file through the operator
 *   interface's open-file dialog (console: a prompt; no interface: the next
 *   ZKDOWNLOAD_ANSWERS entry, else cancel). Cancelling succeeds without
 *   touching the handset. A file that is not a complete NV backup (13664
 *   bytes naming the catalogue's items in order) is refused before the
 *   port opens, with a message box saying why (code 117041). Otherwise it
 *   switches the handset into diagnostic mode, unlocks it with `spcCode`
 *   (empty: "271828"), writes every entry the backup holds, resets the
 *   handset and waits 35 s for it to restart (progress window throughout;
 *   about 2 minutes in all). `value` is not read. Failure codes: 109000 + r
 *   mode entry, 117000 + r the NV write (21 unlock, 50 items not written,
 *   52 four writes unanswered), 120000 the reset. The USB form never writes
 *   the result cell.
 * - ERI write: switches the handset into diagnostic mode, takes it offline,
 *   unlocks it with `text1` (the service programming code; empty:
 *   "271828"), waits 2 s, writes the PC file `text2` as the handset's
 *   "/eri/eri.bin" (creating "/eri"), resets the handset and waits 35 s for
 *   it to restart; then the end dialog: OK serves the next handset with the
 *   same file, END returns. Progress window throughout. `value` is not
 *   read. Failure codes (GetLastResult_Interface): 412000 + r mode entry,
 *   413000 + r offline, 414000 + r unlock, 415000 the file write (the PC
 *   file unreadable, "/eri" not made or the copy refused or unanswered;
 *   GetWaitNote_Interface says which), 416000 the reset.
 * - ERI read: switches the handset into diagnostic mode and copies its
 *   "/eri/eri.bin" to the PC file `text2`, then shows "Successfully
 *   Completed!"; no reset, no wait. The copy goes to a temporary file beside
 *   `text2` that replaces it only when complete: a failed read leaves an
 *   existing `text2` as it was. Failure codes: 417000 + r mode entry,
 *   411000 the copy ("/eri/eri.bin" missing, refused or unanswered;
 *   GetWaitNote_Interface says which).
 * A failed ERI export closes the port and the progress window before it
 * returns.
 */
/** @{ */
/** NV editor on a serial port; see the group.
 * @param kind operation kind. @param value not read. @param text code. @param portMask the port.
 * @return 1 on success, else 0. */
ZK_API int NVEdit_Interface(short kind, int value, const char* text, short portMask);
/** NV editor on a port index; see the group.
 * @param kind operation kind. @param value not read. @param text code. @param port zero-based port index.
 * @param param1 link extra. @param param2 link extra. @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int NVEditUSB_Interface(short kind, int value, const char* text, short port, short param1, short param2,
                               short param3);
/** How the NV editor's last "Write" in this process ended: 0 no write yet, 1 the handset took every item
 * (and restarted), 50 some items were not taken (nothing shown), 703000 + r or 704000 + r its failure code. */
ZK_API int NVEditLastWrite_Interface(void);
/** NV backup file write on a serial port; see the group.
 * @param kind operation kind. @param value not read. @param spcCode code. @param portMask the port.
 * @return 1 on success, else 0. */
ZK_API int BackupFileWrite_Interface(short kind, int value, const char* spcCode, short portMask);
/** NV backup file write on a port index; see the group.
 * @param kind operation kind. @param value not read. @param spcCode code. @param port zero-based port index.
 * @param param1 link extra. @param param2 link extra. @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int BackupFileWriteUSB_Interface(short kind, int value, const char* spcCode, short port, short param1,
                                        short param2, short param3);
/** ERI write on a serial port; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 ERI file.
 * @param portMask the port.
 * @return 1 on success, else 0. */
ZK_API int ERIWrite_Interface(short kind, int value, const char* text1, const char* text2, short portMask);
/** ERI write on a port index; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 ERI file.
 * @param port zero-based port index. @param param1 link extra. @param param2 link extra.
 * @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int ERIWriteUSB_Interface(short kind, int value, const char* text1, const char* text2, short port,
                                 short param1, short param2, short param3);
/** ERI read on a serial port; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 file to write.
 * @param portMask the port.
 * @return 1 on success, else 0. */
ZK_API int ERIRead_Interface(short kind, int value, const char* text1, const char* text2, short portMask);
/** ERI read on a port index; see the group.
 * @param kind operation kind. @param value not read. @param text1 code. @param text2 file to write.
 * @param port zero-based port index. @param param1 link extra. @param param2 link extra.
 * @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int ERIReadUSB_Interface(short kind, int value, const char* text1, const char* text2, short port,
                                short param1, short param2, short param3);
/** @} */

/** @name Data backup (silent, yes/no)
 * The handset must already answer diagnostic requests (no mode switch); the
 * port, a zero-based index, opens at 38400 bit/s. Nothing is shown except
 * the two message boxes of the write; no file dialog is used.
 * - Read: unlocks the handset with the service programming code (empty:
 *   "271828") and reads all 514 catalogued NV entries into the library's
 *   memory, where they stay until the library is unloaded (no NV file is
 *   written); then copies the handset's whole file system into
 *   `text`/Efs_COM<port+1> (an older copy there is replaced). Blocks for the
 *   whole exchange: about 3 s per NV entry the handset leaves unanswered
 *   (a run of 4 ends the NV read), plus the file-system copy. It succeeds
 *   only when both the NV read and the file-system copy did; single NV
 *   items the handset does not hold are skipped. Failure codes
 *   (GetLastResult_Interface): 109002 port not opened, 110003 unlock
 *   unanswered, 110051 NV read ended by 4 unanswered items, 111000 + r the
 *   file-system copy.
 * - Write: writes back every NV entry the last read (in this process) got,
 *   then the file system from `text2`/Efs_COM<port+1>. Without such a read
 *   there is nothing to write back: it fails at once (117050) with the
 *   "Write Nv Error #50" message box and the port untouched. A write the handset
 *   does not answer with status 0 fails it: "Write Nv Error #n" (n: 21
 *   unlock unanswered, 50 items not written, 52 four writes unanswered) or
 *   "Write EFS Error #n" is shown and the export answers 0. Failure codes:
 *   109002, 117000 + n, 114000 + r.
 */
/** @{ */
/** Data backup read; see the group.
 * @param kind operation kind. @param spcCode service programming code. @param text backup directory.
 * @param port zero-based port index.
 * @return 1 on success, else 0. */
ZK_API int DataBackupRead_Interface(short kind, const char* spcCode, const char* text, short port);
/** Data backup read with link extras; see the group.
 * @param kind operation kind. @param spcCode service programming code. @param text backup directory.
 * @param port zero-based port index. @param param1 link extra. @param param2 link extra.
 * @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int DataBackupReadUSB_Interface(short kind, const char* spcCode, const char* text, short port, short param1,
                                       short param2, short param3);
/** Data backup write; see the group.
 * @param kind operation kind. @param text1 service programming code. @param text2 backup directory.
 * @param port zero-based port index.
 * @return 1 on success, else 0. */
ZK_API int DataBackupWrite_Interface(short kind, const char* text1, const char* text2, short port);
/** Data backup write with link extras; see the group.
 * @param kind operation kind. @param text1 service programming code. @param text2 backup directory.
 * @param port zero-based port index. @param param1 link extra. @param param2 link extra.
 * @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int DataBackupWriteUSB_Interface(short kind, const char* text1, const char* text2, short port, short param1,
                                        short param2, short param3);
/** @} */

/** @name Unattended forms (silent, code)
 * - Refurbish: as the reporting form, but without the "brew_script"
 *   write (the directory need not exist) and for one handset; a script
 *   warning fails it (506050); a failure after the erase writes the NV
 *   items to "COM<n>_MMDDhhmmss.bak" in the working directory. The port is
 *   closed on return. Blocks as the reporting form.
 * Windowless forms for unattended stations: no progress window, no error
 * or end dialog (refurbish's "Please reboot phone" message box excepted).
 * `text1` is the service programming code (empty: "271828"), `text2` the
 * script file (refurbish, script download), the provisioning directory or
 * the ERI file. The failure code is in GetLastResult_Interface (and the
 * result cell after fnPassPara_Interface).
 * - Provisioning write: diagnostic mode (501000 + r), then the directory
 *   `text2` + "/Efs_COM<n>" (or `text2` itself when it contains
 *   "brew_script") is written into the handset's file system (114028 when
 *   a file cannot be written or the directory does not exist: nothing is
 *   reported written that was not), a reset (120000), 8 s of waiting and a
 *   second diagnostic mode entry (116000 + r).
 * - ERI read: diagnostic mode (417000 + r), "/eri/eri.bin" to the file
 *   `text2` (411000), as the plain form but without a message box.
 * - ERI write: diagnostic mode (412000 + r), offline (413000 + r), the
 *   unlock that precedes NV reads (414000 + r), 2 s, the file `text2` as
 *   "/eri/eri.bin" (415000); no reset and no waiting.
 * - Script download: diagnostic mode (501000 + r), then the script `text2`
 *   runs (506000 + r: 46 unreadable, 50 ran with warnings, 53 abandoned);
 *   the port stays open after success.
 */
/** @{ */
/** Refurbish, unattended; see the group.
 * @param kind operation kind. @param text1 code. @param text2 script. @param port zero-based port index.
 * @return 1 on success, else 0. */
ZK_API int Refurbish_UPST_Interface(short kind, const char* text1, const char* text2, short port);
/** Refurbish, unattended, with link extras; see the group.
 * @param kind operation kind. @param text1 code. @param text2 script. @param port zero-based port index.
 * @param param1 link extra. @param param2 link extra. @param param3 link extra.
 * @return 1 on success, else 0. */
ZK_API int RefurbishUSB_UPST_Interface(short kind, const char* text1, const char* text2, short port, short param1,
                                       short param2, short param3);
/** Script download, reduced unattended form: enters diagnostic mode on the
 * port and runs the script (NV writes, SPC, MODE, EFS copies from the
 * script's efs_scr folder, WAIT). Runs in silent mode: no window, no dialog.
 * Blocks for the mode entry, every request of the script and its WAIT lines.
 * After success the port stays open. The script file is only read.
 * @param kind operation kind (2 and 3 hold back the authentication items).
 * @param text1 service programming code; empty selects "271828".
 * @param text2 script file path. @param port zero-based port index.
 * @return 1 when every line ran without a warning, else 0; the flow result
 * (501000 + r mode entry, 506046 unreadable script, 506050 warnings,
 * 506053 run abandoned after repeated unanswered NV writes) is kept for
 * GetLastResult_Interface. After a failure the port is closed. */
ZK_API int ScriptDown_UPST_Interface(short kind, const char* text1, const char* text2, short port);
/** ScriptDown_UPST_Interface for the handset's USB modem port; see it.
 * @param kind operation kind. @param text1 code. @param text2 script. @param port zero-based port index.
 * @param param1 not used. @param param2 not used. @param param3 not used.
 * @return 1 on success, else 0. */
ZK_API int ScriptDownUSB_UPST_Interface(short kind, const char* text1, const char* text2, short port, short param1,
                                        short param2, short param3);
/** Provisioning write, unattended; see the group.
 * @param kind operation kind. @param text1 code. @param text2 provisioning directory.
 * @param port zero-based port index.
 * @return 1 on success, else 0. */
ZK_API int ProvisionWrite_UPST_Interface(short kind, const char* text1, const char* text2, short port);
/** ERI read, unattended; see the group.
 * @param kind operation kind. @param text1 code. @param text2 file to write. @param port zero-based port index.
 * @return 1 on success, else 0. */
ZK_API int EriRead_UPST_Interface(short kind, const char* text1, const char* text2, short port);
/** ERI write, unattended; see the group.
 * @param kind operation kind. @param text1 code. @param text2 ERI file. @param port zero-based port index.
 * @return 1 on success, else 0. */
ZK_API int EriWrite_UPST_Interface(short kind, const char* text1, const char* text2, short port);
/** @} */

/**
 * The handset identity check (plain): switches the handset at `port` into
 * diagnostic mode, reads its version label, ESN, vendor text and the two
 * vendor values, then takes it offline and resets it (no restart wait). It
 * shows a progress window and never an error or end dialog. Any output may
 * be null.
 *
 * @param kind         operation kind, stored.
 * @param port         zero-based port index.
 * @param versionLabel 16 bytes: "<software version>_<vendor byte>", at most
 *                     15 characters.
 * @param esn          the handset's ESN.
 * @param vendorText   16 bytes: the 15-character vendor text.
 * @param value20      first vendor value.
 * @param value21      second vendor value.
 * @return 1 when all were read; 0 with the outputs untouched otherwise, and
 *         GetLastResult_Interface gives the cause: 2 diagnostic mode not
 *         reached, 4 identity not read, 36-38 offline, 44-45 reset.
 */
ZK_API int ReadHandsetIdentity_Interface(short kind, short port, char* versionLabel, unsigned int* esn,
                                         char* vendorText, unsigned int* value20, unsigned int* value21);

/**
 * Why the last operation export ended as it did, in every mode (pass-parameter
 * and silent included). Does not block.
 * @return its flow result: 1, or a failure code (location x 1000 + cause); 0
 *         before any operation.
 */
ZK_API int GetLastResult_Interface(void);

/**
 * Why the library's port did not open, when its latest open failed. Does not
 * block.
 * @param text receives a one-line text naming the port, its device and what to
 *             do, cut to `size` bytes and always terminated; may be null.
 * @param size size of `text` in bytes.
 * @return the errno value (EBUSY another program holds the port, ENOENT no
 *         port-map entry or no device, EACCES no permission, ...); 0 with an
 *         empty text when the latest open succeeded or no port was opened yet.
 */
ZK_API int GetPortError_Interface(char* text, int size);

/**
 * The handset the last operation export talked to. Call it after the
 * operation has returned; it never blocks and touches no port.
 * @param esn             receives the ESN read during diagnostic mode entry (0
 *                        when none was read); may be null.
 * @param softwareVersion receives the 8-character software version of the
 *                        latest answered version request (empty when none was
 *                        answered), cut to `versionSize` bytes and always
 *                        terminated; may be null.
 * @param versionSize     size of `softwareVersion` in bytes.
 * @return 1 when an ESN was read during the last operation export, else 0 (also
 *         before any operation).
 */
ZK_API int GetHandsetSeen_Interface(unsigned int* esn, char* softwareVersion, int versionSize);

/**
 * Why the last operation export failed where its failure code alone cannot
 * say, e.g. "the handset did not answer the downloader's initialize request
 * (10 tries)". Every operation export starts with no note. Call it after the
 * operation has returned; it never blocks.
 * @param text receives the one-line note, cut to `size` bytes and always
 *             terminated; may be null.
 * @param size size of `text` in bytes.
 * @return 1 when a note was written, 0 with an empty text otherwise.
 */
ZK_API int GetWaitNote_Interface(char* text, int size);

/**
 * A note on why the last operation failed that its failure code does not
 * tell, such as "the handset refused the service programming code" (the
 * unlock goes on after a refusal, and a later step is the one that fails).
 * Each operation export clears the note when it begins. Does not block.
 * @param text receives the note, cut to `size` bytes and always terminated;
 *             may be null.
 * @param size size of `text` in bytes.
 * @return 1 when the last operation recorded a note, 0 with an empty text
 *         otherwise.
 */
ZK_API int GetFailureNote_Interface(char* text, int size);

/**
 * The error dialog's texts for a failure code. Each text is cut to its buffer
 * and terminated; a null buffer is skipped. Contents that name a handset path
 * keep their "%s". Does not block.
 * @param code         a failure code (location x 1000 + cause).
 * @param location     receives where it failed.
 * @param locationSize size of `location` in bytes.
 * @param contents     receives what went wrong.
 * @param contentsSize size of `contents` in bytes.
 * @param solution     receives what to do.
 * @param solutionSize size of `solution` in bytes.
 * @return 1 when the tables know the location or the cause, else 0 (as for
 *         #ZK_RESULT_NOT_AVAILABLE).
 */
ZK_API int GetFailureTexts_Interface(int code, char* location, int locationSize, char* contents, int contentsSize,
                                     char* solution, int solutionSize);

/**
 * The handset folder or file the last operation export's failure is about:
 * what the error dialog puts in place of the "%s" that
 * GetFailureTexts_Interface leaves in the contents of causes 25 to 28 and
 * 60 to 62 (an EFS backup, restore, listing or file copy). Every operation
 * export starts with none. Call it after the operation has returned; it
 * never blocks.
 * @param text receives the handset path, cut to `size` bytes and always
 *             terminated; may be null.
 * @param size size of `text` in bytes.
 * @return 1 when a path was written, 0 with an empty text otherwise.
 */
ZK_API int GetFailurePath_Interface(char* text, int size);

/** @name Phone book
 * Phone-book transfer is not supported by the RB310: both show the message
 * box "Not Supported!" (OK) through the operator interface and return 1.
 * Their arguments are not read. */
/** @{ */
/** Phone-book read; see the group.
 * @param kind not read. @param text not read. @param text2 not read. @param text3 not read.
 * @return 1. */
ZK_API int PIMRead_Interface(short kind, const char* text, const char* text2, const char* text3);
/** Phone-book write; see the group.
 * @param kind not read. @param text not read. @param text2 not read. @param text3 not read.
 * @param value not read. @param param1 not read. @param param2 not read. @param param3 not read.
 * @return 1. */
ZK_API int PIMWrite_Interface(short kind, const char* text, const char* text2, const char* text3,
                              unsigned short value, short param1, short param2, short param3);
/** @} */

/** @name Progress and cancel for host programs
 * A host may follow an operation through its own callback instead of the
 * console or headless interface, and may cancel it from another thread. */

/* Event types of ZKHostEvent.type. */
#define ZK_EVENT_PROGRESS_OPEN 1   /**< title: window caption ("COM5 : Download ...") */
#define ZK_EVENT_PROGRESS_CLOSE 2  /**< the progress window closes */
#define ZK_EVENT_PROGRESS_TEXT 3   /**< control: ZK_CONTROL_*; text: what it shows now */
#define ZK_EVENT_PROGRESS_BAR 4    /**< low..high with position; text: percentage ("  37%  ") */
#define ZK_EVENT_ADDRESS_MODE 5    /**< on: the address row is in use (1) or not (0) */
#define ZK_EVENT_MESSAGE 6         /**< text; buttons ZK_BUTTONS_OK/_OK_CANCEL/_YES_NO */
#define ZK_EVENT_ERROR_DIALOG 7    /**< title; code: the failure code; text: message; detail: solution */
#define ZK_EVENT_END_DIALOG 8      /**< title; text: elapsed time; ZK_ANSWER_OK serves the next handset */
#define ZK_EVENT_ASK_SAVE_FILE 9   /**< title; detail: suggested name; path into answerText */
#define ZK_EVENT_ASK_OPEN_FILE 10  /**< title; detail: filter; path into answerText */

/* Controls of ZK_EVENT_PROGRESS_TEXT. */
#define ZK_CONTROL_STATUS 0          /**< what the operation does ("Connecting...") */
#define ZK_CONTROL_DETAIL 1          /**< file line or current item */
#define ZK_CONTROL_ELAPSED 2         /**< elapsed time text */
#define ZK_CONTROL_FIRST_ADDRESS 3   /**< start address during burns */
#define ZK_CONTROL_SECOND_ADDRESS 4  /**< end address during burns */

/* Buttons a dialog offers (ZKHostEvent.buttons). */
#define ZK_BUTTONS_OK 0         /**< OK only */
#define ZK_BUTTONS_OK_CANCEL 1  /**< OK and Cancel */
#define ZK_BUTTONS_YES_NO 2     /**< Yes and No */
#define ZK_BUTTONS_OK_CLOSE 3  /**< error dialog: OK writes the error report, CLOSED does not */
#define ZK_BUTTONS_OK_END 4    /**< end dialog */

/* What a callback returns. ZK_ANSWER_DEFAULT, or an answer the dialog does
 * not offer, takes the dialog's default (ZKHostEvent.defaultAnswer). The
 * return value of progress events is ignored. */
#define ZK_ANSWER_DEFAULT 0  /**< the dialog's default answer */
#define ZK_ANSWER_OK 1       /**< OK */
#define ZK_ANSWER_CANCEL 2   /**< Cancel */
#define ZK_ANSWER_YES 3      /**< Yes */
#define ZK_ANSWER_NO 4       /**< No */
#define ZK_ANSWER_END 5      /**< END: the end dialog stops serving handsets */
#define ZK_ANSWER_CLOSED 6   /**< the dialog was closed without a button */

/** The cause part (code mod 1000) of an operation cancelled by
 * Cancel_Interface; the location part (code / 1000) stays the step that was
 * running, e.g. 405090 for a cancel during the PRL transfer.
 * GetFailureTexts_Interface gives "cancelled by the host" as its contents. */
#define ZK_CAUSE_CANCELLED 90

/** One event. Only `size` bytes are valid: a host built against an older
 * header reads the fields it knows, and fields are only ever added at the
 * end. Text pointers are never null and stay valid only until the callback
 * returns. */
typedef struct ZKHostEvent {
  int size;           /**< sizeof(ZKHostEvent) of the library that sent it */
  int type;           /**< ZK_EVENT_* */
  int portIndex;      /**< 0 is COM1 */
  int operationKind;  /**< the `kind` the operation export was given */
  int control;        /**< ZK_EVENT_PROGRESS_TEXT: ZK_CONTROL_* */
  int low;            /**< ZK_EVENT_PROGRESS_BAR: range and position */
  int high;           /**< top of the range */
  int position;       /**< where the bar stands, low..high */
  int on;             /**< ZK_EVENT_ADDRESS_MODE */
  int buttons;        /**< dialogs: ZK_BUTTONS_* */
  int defaultAnswer;  /**< dialogs: what ZK_ANSWER_DEFAULT stands for */
  int code;           /**< ZK_EVENT_ERROR_DIALOG: the failure code */
  const char* title;  /**< window or dialog caption */
  const char* text;   /**< the shown text (see ZK_EVENT_*) */
  const char* detail; /**< second text: a solution, a file name or a filter */
  char* answerText;   /**< file dialogs: the host writes the chosen path here, terminated, */
  int answerSize;     /**< at most answerSize bytes, and returns ZK_ANSWER_OK; else null and 0 */
} ZKHostEvent;

/** Called on the thread that runs the operation export, inside that export,
 * for every visible change and every dialog. It must not call an operation
 * export (that one would be refused); Cancel_Interface is allowed. */
typedef int (*ZKHostCallback)(const ZKHostEvent* event, void* context);

/** Registers `callback` (with `context` handed back to it) as the operator
 * interface of every following operation export, in place of the console
 * or headless interface; NULL removes it and the interface chosen by
 * ZKDOWNLOAD_UI is used again. Silent exports (data backup, the _UPST ones)
 * show no error or end dialog, as ever, but still send their progress
 * events to a registered callback; message boxes are sent in every mode.
 * Any thread; does not block.
 * @param callback the host's function, or NULL.
 * @param context handed back to every call of `callback`.
 * @return 1, or 0 (nothing changed) while an operation export runs. */
ZK_API int SetHostCallback_Interface(ZKHostCallback callback, void* context);

/** Asks the running operation export to stop. Callable from any thread (not
 * from a signal handler); returns at once. The operation stops at its next
 * wait or handset exchange (both wake at once), closes the port and fails
 * with cause ZK_CAUSE_CANCELLED: a reporting export shows its error dialog
 * (an ZK_EVENT_ERROR_DIALOG to a registered callback), and
 * GetLastResult_Interface gives the code. An operation whose last exchange
 * was already done when the cancel came still succeeds. The request is
 * forgotten when the next operation export begins.
 * @return 1 when an operation export was running, else 0. */
ZK_API int Cancel_Interface(void);

/* An operation export refused because another one runs returns 0 at once;
 * GetLastResult_Interface gives #ZK_RESULT_BUSY on the refused thread and
 * the running operation's result (0 until it ends) on every other. */

/** @name The handset's file system (EFS)
 * Each of these exports switches the handset on port index `port` (0 is
 * COM1) into diagnostic mode as the PRL read does (AT probes, then the ESN,
 * mode and status requests: a few seconds), does its work with the file
 * system requests, and releases the port and closes the progress window
 * before it returns, whether it succeeded or not. They block the calling
 * thread for the whole operation and show no error dialog.
 *
 * Result: 1 on success, else 0; GetLastResult_Interface then gives the
 * failure code (location x 1000 + cause), GetFailureTexts_Interface its
 * texts and GetFailureNote_Interface a one-line note naming the path or
 * status that failed. In pass-parameter mode a success also puts 1 in the
 * result cell. Locations: 801000 mode entry (cause: the entry's result),
 * 802000 listing, 803000 reading (get, backup), 804000 writing (put,
 * restore). Causes: 23 the handset's root could not be listed, 25 a
 * directory listing failed or named an unusable entry, 26 a read got no
 * answer, 27 a read ended with an error status, 28 a write failed or the
 * handset does not hold what was sent, 60 the handset path does not exist
 * (or is not absolute, or longer than 127 characters), 61 a PC file or
 * directory could not be written, 62 a PC file could not be read.
 *
 * Handset paths are absolute, use "/" and have at most 127 characters. PC
 * paths may use "/" or "\\". Null texts read as empty. */

/** One entry of a handset listing. */
typedef struct ZkEfsEntry {
  char path[128];    /**< full handset path ("/brew/mod/app.mod"), zero-terminated */
  unsigned int type; /**< 0 plain file, 1 directory, as the handset reports it */
  unsigned int size; /**< bytes of a plain file; 0 for a directory */
} ZkEfsEntry;

/** Lists a handset directory; with `recursive` nonzero every directory
 * below it too (each directory's entries, then those of its
 * sub-directories in turn, depth first). Nothing on the handset or the PC
 * is written.
 * @param port zero-based port index.
 * @param directory absolute handset directory, e.g. "/" or "/brew".
 * @param recursive nonzero: the whole tree below `directory`.
 * @param entries receives the first `capacity` entries (may be null when
 *        `capacity` is 0).
 * @param capacity room in `entries`.
 * @param count receives the number of entries found (may be null), also when
 *        it exceeds `capacity`: call again with a larger array to get them all.
 * @return 1 on success, else 0. */
ZK_API int EfsList_Interface(short port, const char* directory, int recursive, ZkEfsEntry* entries, int capacity,
                             int* count);

/** Copies a handset file to a PC file. The file arrives in a temporary file
 * beside `pcPath` and replaces it only when complete; after a failed copy
 * `pcPath` is as it was and what arrived stays in `pcPath`.partial.
 * @param port zero-based port index.
 * @param handsetPath absolute handset file path.
 * @param pcPath PC file to create or replace; its directory must exist.
 * @return 1 on success, else 0. */
ZK_API int EfsGet_Interface(short port, const char* handsetPath, const char* pcPath);

/** Copies a PC file to the handset, creating the handset directories along
 * the way and replacing an existing file. Succeeds only when the handset
 * then reports the file at the PC file's size. Writes nothing on the PC.
 * @param port zero-based port index.
 * @param pcPath PC file to send.
 * @param handsetPath absolute handset file path.
 * @return 1 on success, else 0. */
ZK_API int EfsPut_Interface(short port, const char* pcPath, const char* handsetPath);

/** Copies the handset's whole file system into `baseDirectory`/Efs_COM<port+1>
 * (`baseDirectory` is created if missing). The handset tree is mirrored
 * below it; the files of the handset's root directory go to its "Root"
 * directory. The copy is made in `baseDirectory`/.incoming_Efs_COM<port+1>
 * and takes the place of an earlier backup only when complete (an earlier
 * backup, or a link in its place, is removed without following links). A
 * failed backup leaves the earlier one as it was and what it copied in
 * `baseDirectory`/Efs_COM<port+1>.partial. Names the handset gives that are
 * not one plain path component fail the backup (25, 27), so nothing is
 * written outside the backup directory.
 * @param port zero-based port index.
 * @param baseDirectory PC directory that holds the backups of every port.
 * @return 1 on success, else 0. */
ZK_API int EfsBackup_Interface(short port, const char* baseDirectory);

/** Writes a PC tree to the handset: when `path` contains "brew_script" that
 * directory itself, else `path`/Efs_COM<port+1>. Every directory below it is
 * created on the handset as "/" + its relative path and its files are
 * written there; directories whose path contains "Root", "root" or
 * "nvm/nvm", and files directly in the tree's top directory, are not
 * written. Files written before a failure stay on the handset. Writes
 * nothing on the PC.
 * @param port zero-based port index.
 * @param path the backup's base directory, or a "brew_script" directory.
 * @return 1 on success, else 0. */
ZK_API int EfsRestore_Interface(short port, const char* path);

/** @name NV items (plain, single handset)
 * Not part of the original interface: the NV calls of the command line.
 * Each switches the handset into diagnostic mode itself, unlocks it with
 * `spcCode` (empty: "271828"), serves one handset and releases the port
 * before it returns. No file dialog is used; the progress window shows
 * when the operator interface has one. The failure code is in
 * GetLastResult_Interface and the reason in GetFailureNote_Interface:
 * 109000 + r mode entry, 110000 + r the NV read (3 unlock unanswered,
 * 42 an item the catalogue does not know, 50 items not read, 51 four
 * unanswered reads in a row), 117000 + r the NV write (21 unlock
 * unanswered, 42 unknown item or value too long, 50 items not written,
 * 52 four unanswered writes), 117041 a backup file that could not be
 * written, read or was refused, 120000 the reset.
 */
/** @{ */
/** Reads every catalogued NV item (514 reads, about 3 s for each the
 * handset leaves unanswered) and saves them as a 13664-byte ".bak" file.
 * The file is written to a temporary file beside `path` and renamed over it
 * only when every item was answered, so a failed backup leaves an earlier
 * file as it was.
 * @param port zero-based port index. @param spcCode service programming code.
 * @param path the ".bak" file to write.
 * @return 1 on success, else 0. */
ZK_API int NvBackupToFile_Interface(short port, const char* spcCode, const char* path);
/** Checks the ".bak" file `path` before the handset is touched (a foreign
 * or damaged file fails with 117041 and a message box), then writes every
 * item it holds into the handset, resets it and waits 35 s for the restart.
 * Succeeds only when the handset took every write with status 0.
 * @param port zero-based port index. @param spcCode service programming code.
 * @param path the ".bak" file to read.
 * @return 1 on success, else 0. */
ZK_API int NvRestoreFromFile_Interface(short port, const char* spcCode, const char* path);
/** Reads one NV item. Blocks for the mode switch and one request (3 s
 * without an answer).
 * @param port zero-based port index. @param spcCode service programming code.
 * @param item the NV item number. @param nam NAM index 0 or 1 of a NAM item (-1: NAM 0).
 * @param value buffer the item's value bytes are copied into (at most `size`).
 * @param size bytes `value` holds. @param length gets the item's value size (may be null).
 * @param status gets the handset's status, -1 without an answer (may be null).
 * @return 1 when the handset answered status 0, else 0. */
ZK_API int NvReadItem_Interface(short port, const char* spcCode, int item, int nam, unsigned char* value, int size,
                                int* length, int* status);
/** Writes one NV item; the value is padded with zeros to the item's size.
 * Does not reset the handset.
 * @param port zero-based port index. @param spcCode service programming code.
 * @param item the NV item number. @param nam NAM index 0 or 1 of a NAM item (-1: NAM 0).
 * @param value the value bytes. @param size bytes in `value` (at most the item's size).
 * @param status gets the handset's status, -1 without an answer (may be null).
 * @return 1 when the handset took the write with status 0, else 0. */
ZK_API int NvWriteItem_Interface(short port, const char* spcCode, int item, int nam, const unsigned char* value,
                                 int size, int* status);
/** @} */

#ifdef __cplusplus
}
#endif

#endif /* ZKDOWNLOAD_ZKDOWNLOAD_H */
