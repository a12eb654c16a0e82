/* The C boundary of libzkdownload.so: every function a host application calls.
 *
 * Texts are NUL-terminated `const char*`; a null pointer stands for an empty
 * text. Each export copies the texts it is given and keeps no pointer to them.
 * Every export runs on the caller's thread and returns when its work is done.
 * One operation export (PRL, emergency, identity, upgrade, ...) runs at a time
 * in a process: another operation export entered while one runs, from another
 * thread or from an operator-interface callback, returns 0 at once and
 * touches nothing (GetLastResult_Interface still reports the running one).
 * The environment (ZKDOWNLOAD_HOME, _UI, _ANSWERS, _TIME_SCALE, _TRACE) is
 * read when the library loads and at the start of each exported call. */
#ifndef ZKDOWNLOAD_ZKDOWNLOAD_H
#define ZKDOWNLOAD_ZKDOWNLOAD_H

#include "zkdownload/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Pass-parameter registration. A nonzero `mode` switches pass-parameter mode
 * on (it stays on until the library is unloaded) and replaces every stored
 * value; operations then report into the host's buffers instead of dialogs.
 * `mode` 0 stores nothing. The host keeps its buffers valid while operations
 * run: `versionBuffer` at least 15 bytes, `nameBuffer` and `timeBuffer` 1000
 * bytes each. Bit 3 (value 8) of `requirementFlags` switches the input
 * requirement check of script download on. `libraryPath` replaces the
 * library's own path unless it is too long for a path (PATH_MAX bytes with
 * its terminator), in which case the previous path stays. Returns 1. */
ZK_API int fnPassPara_Interface(short mode, int* resultCell, unsigned char* versionBuffer, int unused4,
                                int unused5, int* countCell, unsigned char* nameBuffer,
                                unsigned char* timeBuffer, const char* hostText1, const char* hostText2,
                                const char* hostText3, const char* fallbackDirectory,
                                const char* libraryPath, int requirementFlags, int calibrationCheck,
                                int requirementMask);

/* Model identity. The texts belong to the library and stay valid while it is
 * loaded; they never depend on the pass-parameter registration. */
ZK_API const char* GetModelName_Interface(void);  /* "RB310" */
ZK_API const char* GetBINVersion_Interface(void); /* "RB31VV" */
ZK_API const char* GetModelKind_Interface(void);  /* "Tri Mode" */
ZK_API unsigned short GetSPCAddress_Interface(void);
ZK_API int GetPRLItemNum_Interface(void);
ZK_API int GetERIItemNum_Interface(void);

/* One serial port as the library's port discovery sees it. Texts are cut to
 * fit their field and always terminated. */
typedef struct ZKPortInfo {
  char portName[16];      /* "COM5" */
  char devicePath[512];   /* the tty device the port map entry points at */
  char friendlyName[256]; /* e.g. "RB310 CDMA USB Modem (COM5)"; the port name when none is known */
  int usb;                /* 1: the device sits on a USB bus */
  int handsetUsbPort;     /* 1: the operations treat the port as the handset's own USB modem port
                             (its friendly name marks it), so they leave its line rate alone */
} ZKPortInfo;

/* Lists the ports of the port map in COM order: up to `capacity` entries go
 * to `ports` (a null `ports` or a capacity of 0 only counts them). Returns
 * the number of ports known, which may exceed `capacity`, or -1 when the
 * port map cannot be read. */
ZK_API int EnumeratePorts_Interface(ZKPortInfo* ports, int capacity);

/* ---- Operation exports --------------------------------------------------
 *
 * Every operation export takes the operation kind first. Serial exports name
 * the port with a 16-bit mask (the lowest set bit wins: 0x0006 selects COM2,
 * no bit selects COM1); USB, data backup and unattended (UPST) exports take
 * the zero-based port index (0 = COM1) and the USB forms three link extras.
 *
 * Result forms:
 *  reporting  1 on success; on failure 0 and the error dialog, or, after
 *             fnPassPara_Interface, the failure code in the result cell;
 *  plain      1 on success (1 also goes to a registered result cell); 0 on
 *             failure with nothing shown and the result cell untouched;
 *  silent     no window or dialog; 1 on success, else 0.
 * Operations not available in this version fail with code 999000. */

/* PRL write (reporting) and read (plain). `nam`: write 0 first NAM, 1 second,
 * 2 both from the same file; read: the NAM number. An empty `spcCode` selects
 * "271828". */
ZK_API int PRLWrite_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                              short portMask);
ZK_API int PRLWriteUSB_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                                 short port, short param1, short param2, short param3);
ZK_API int PRLRead_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                             short portMask);
ZK_API int PRLReadUSB_Interface(short kind, const char* text, const char* spcCode, const char* path, int nam,
                                short port, short param1, short param2, short param3);

/* Emergency download of `imagePath` to a handset that offers only its
 * downloader (plain). */
ZK_API int Emergency_Interface(short kind, int unused, const char* text, const char* imagePath, char flag,
                               short portMask);
ZK_API int EmergencyUSB_Interface(short kind, int unused, const char* text, const char* imagePath, char flag,
                                  short port, short param1, short param2, short param3);

/* Firmware upgrade (reporting). */
ZK_API int Upgrade_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                             const char* text4, int value2, const char* text5, char flag, short portMask);
ZK_API int UpgradeNew_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                const char* text4, int value2, const char* text5, char flag, short portMask,
                                const char* extraText);
ZK_API int UpgradeUSB_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                const char* text4, int value2, const char* text5, char flag, short port,
                                const char* extraText, short param1, short param2, short param3);

/* Script download (reporting). */
ZK_API int SCRDownload_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                 int value2, short portMask);
ZK_API int SCRDownloadNew_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                    int value2, short portMask, const char* extraText);
ZK_API int SCRDownloadUSB_Interface(short kind, int value, const char* text1, const char* text2, const char* text3,
                                    int value2, short port, const char* extraText, short param1, short param2,
                                    short param3);

/* Binary download (reporting). */
ZK_API int BINDownload_Interface(short kind, const char* text, const char* text2, const char* text3, char flag,
                                 short portMask);
ZK_API int BINDownloadUSB_Interface(short kind, const char* text, const char* text2, const char* text3, char flag,
                                    short port, short param1, short param2, short param3);

/* Refurbish (reporting). */
ZK_API int Refurbish_Interface(short kind, int ignored, const char* text1, const char* text2, short portMask);
ZK_API int RefurbishUSB_Interface(short kind, int ignored, const char* text1, const char* text2, short port,
                                  short param1, short param2, short param3);

/* NV editor, NV backup file write, ERI write and read (plain). */
ZK_API int NVEdit_Interface(short kind, int value, const char* text, short portMask);
ZK_API int NVEditUSB_Interface(short kind, int value, const char* text, short port, short param1, short param2,
                               short param3);
ZK_API int BackupFileWrite_Interface(short kind, int value, const char* spcCode, short portMask);
ZK_API int BackupFileWriteUSB_Interface(short kind, int value, const char* spcCode, short port, short param1,
                                        short param2, short param3);
ZK_API int ERIWrite_Interface(short kind, int value, const char* text1, const char* text2, short portMask);
ZK_API int ERIWriteUSB_Interface(short kind, int value, const char* text1, const char* text2, short port,
                                 short param1, short param2, short param3);
ZK_API int ERIRead_Interface(short kind, int value, const char* text1, const char* text2, short portMask);
ZK_API int ERIReadUSB_Interface(short kind, int value, const char* text1, const char* text2, short port,
                                short param1, short param2, short param3);

/* Data backup (silent, yes/no). */
ZK_API int DataBackupRead_Interface(short kind, const char* spcCode, const char* text, short port);
ZK_API int DataBackupReadUSB_Interface(short kind, const char* spcCode, const char* text, short port, short param1,
                                       short param2, short param3);
ZK_API int DataBackupWrite_Interface(short kind, const char* text1, const char* text2, short port);
ZK_API int DataBackupWriteUSB_Interface(short kind, const char* text1, const char* text2, short port, short param1,
                                        short param2, short param3);

/* Unattended forms (silent, code). */
ZK_API int Refurbish_UPST_Interface(short kind, const char* text1, const char* text2, short port);
ZK_API int RefurbishUSB_UPST_Interface(short kind, const char* text1, const char* text2, short port, short param1,
                                       short param2, short param3);
ZK_API int ScriptDown_UPST_Interface(short kind, const char* text1, const char* text2, short port);
ZK_API int ScriptDownUSB_UPST_Interface(short kind, const char* text1, const char* text2, short port, short param1,
                                        short param2, short param3);
ZK_API int ProvisionWrite_UPST_Interface(short kind, const char* text1, const char* text2, short port);
ZK_API int EriRead_UPST_Interface(short kind, const char* text1, const char* text2, short port);
ZK_API int EriWrite_UPST_Interface(short kind, const char* text1, const char* text2, short port);

/* The handset identity check (plain): switches the handset at `port` into
 * diagnostic mode, reads its version label ("<software version>_<vendor
 * byte>", at most 15 characters), ESN, 15-character vendor text and the two
 * vendor values, then takes it offline and resets it. `versionLabel` and
 * `vendorText` must hold 16 bytes each; any output may be null. On failure
 * (0) the outputs are untouched and GetLastResult_Interface gives the
 * cause: 2 diagnostic mode not reached, 4 identity not read, 36-38 offline,
 * 44-45 reset. */
ZK_API int ReadHandsetIdentity_Interface(short kind, short port, char* versionLabel, unsigned int* esn,
                                         char* vendorText, unsigned int* value20, unsigned int* value21);

/* Why the last operation export ended as it did: its flow result, 1 or a
 * failure code (location x 1000 + cause), also in pass-parameter mode and in
 * silent mode. 0 before any operation. */
ZK_API int GetLastResult_Interface(void);

/* Why the library's port did not open, when its latest open failed: returns
 * the errno value (EBUSY another program holds the port, ENOENT no port-map
 * entry or no device, EACCES no permission, ...) and writes a one-line text
 * naming the port, its device and what to do, cut to `size` bytes and always
 * terminated, into `text` (may be null). Returns 0 and writes an empty text
 * when the latest open succeeded or no port was opened yet. Does not block. */
ZK_API int GetPortError_Interface(char* text, int size);

/* The handset the last operation export talked to: writes the ESN read from
 * the handset's ESN answers during diagnostic mode entry into `esn` (0 when
 * none was read) and the 8-character software version of its latest
 * answered version request (empty when none was answered), cut to
 * `versionSize` bytes and always terminated, into `softwareVersion`; either
 * buffer may be null. Returns 1 when an ESN was read during the last
 * operation export, else 0 (also before any operation). Call it after the
 * operation has returned; it never blocks and touches no port. */
ZK_API int GetHandsetSeen_Interface(unsigned int* esn, char* softwareVersion, int versionSize);

/* Why the last operation export failed where its failure code alone cannot
 * say, e.g. "the handset did not answer the downloader's initialize request
 * (10 tries)": writes that one-line note, cut to `size` bytes and always
 * terminated, into `text` (may be null) and returns 1; returns 0 and writes an
 * empty text when the last operation noted nothing (every operation export
 * starts with no note). Call it after the operation has returned; it never
 * blocks. */
ZK_API int GetWaitNote_Interface(char* text, int size);

/* A note on why the last operation failed that its failure code alone does
 * not tell, such as "the handset refused the service programming code" (the
 * unlock goes on after a refusal, and a later step is the one that fails).
 * Returns 1 and writes the note, cut to `size` bytes and always terminated,
 * into `text` (may be null) when the last operation recorded one; returns 0
 * and writes an empty text otherwise. Each operation export clears the note
 * when it begins. Does not block. */
ZK_API int GetFailureNote_Interface(char* text, int size);

/* The error dialog's texts for a failure code: where it failed, what went
 * wrong and what to do, each cut to its buffer and terminated (a null buffer
 * is skipped). Contents that name a handset path keep their "%s". Returns 0
 * when the tables know neither the location nor the cause, else 1. */
ZK_API int GetFailureTexts_Interface(int code, char* location, int locationSize, char* contents, int contentsSize,
                                     char* solution, int solutionSize);

/* Phone-book transfer is not supported by the RB310: both show "Not
 * Supported!" and return 1. */
ZK_API int PIMRead_Interface(short kind, const char* text, const char* text2, const char* text3);
ZK_API int PIMWrite_Interface(short kind, const char* text, const char* text2, const char* text3,
                              unsigned short value, short param1, short param2, short param3);

/* ---- The handset's file system (EFS) ----
 *
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

/* One entry of a handset listing. */
typedef struct ZkEfsEntry {
  char path[128];    /* full handset path ("/brew/mod/app.mod"), zero-terminated */
  unsigned int type; /* 0 plain file, 1 directory, as the handset reports it */
  unsigned int size; /* bytes of a plain file; 0 for a directory */
} ZkEfsEntry;

/* Lists the handset directory `directory`; with `recursive` nonzero every
 * directory below it too (each directory's entries, then those of its
 * sub-directories in turn, depth first). Writes the first `capacity` entries
 * into `entries` (may be null when `capacity` is 0) and the number of
 * entries found into `count` (may be null), also when it exceeds
 * `capacity`: call again with a larger array to get them all. Nothing on
 * the handset or the PC is written. */
ZK_API int EfsList_Interface(short port, const char* directory, int recursive, ZkEfsEntry* entries, int capacity,
                             int* count);

/* Copies the handset file `handsetPath` to the PC file `pcPath`, whose
 * directory must exist. The file arrives in a temporary file beside
 * `pcPath` and replaces it only when complete; after a failed copy `pcPath`
 * is as it was and what arrived stays in `pcPath`.partial. */
ZK_API int EfsGet_Interface(short port, const char* handsetPath, const char* pcPath);

/* Copies the PC file `pcPath` to the handset file `handsetPath`, creating
 * the handset directories along the way and replacing an existing file.
 * Succeeds only when the handset then reports the file at the PC file's
 * size. Writes nothing on the PC. */
ZK_API int EfsPut_Interface(short port, const char* pcPath, const char* handsetPath);

/* Copies the handset's whole file system into `baseDirectory`/Efs_COM<port+1>
 * (`baseDirectory` is created if missing). The handset tree is mirrored
 * below it; the files of the handset's root directory go to its "Root"
 * directory. The copy is made in `baseDirectory`/.incoming_Efs_COM<port+1>
 * and takes the place of an earlier backup only when complete (an earlier
 * backup, or a link in its place, is removed without following links). A
 * failed backup leaves the earlier one as it was and what it copied in
 * `baseDirectory`/Efs_COM<port+1>.partial. Names the handset gives that are
 * not one plain path component fail the backup (25, 27), so nothing is
 * written outside the backup directory. */
ZK_API int EfsBackup_Interface(short port, const char* baseDirectory);

/* Writes a PC tree to the handset: when `path` contains "brew_script" that
 * directory itself, else `path`/Efs_COM<port+1>. Every directory below it is
 * created on the handset as "/" + its relative path and its files are
 * written there; directories whose path contains "Root", "root" or
 * "nvm/nvm", and files directly in the tree's top directory, are not
 * written. Files written before a failure stay on the handset. Writes
 * nothing on the PC. */
ZK_API int EfsRestore_Interface(short port, const char* path);

#ifdef __cplusplus
}
#endif

#endif /* ZKDOWNLOAD_ZKDOWNLOAD_H */
