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

/* ---- Progress and cancel for host programs --------------------------------
 *
 * A host may follow an operation through its own callback instead of the
 * console or headless interface, and may cancel it from another thread. */

/* Event types of ZKHostEvent.type. */
#define ZK_EVENT_PROGRESS_OPEN 1   /* title: window caption ("COM5 : Download ...") */
#define ZK_EVENT_PROGRESS_CLOSE 2
#define ZK_EVENT_PROGRESS_TEXT 3   /* control: ZK_CONTROL_*; text: what it shows now */
#define ZK_EVENT_PROGRESS_BAR 4    /* low..high with position; text: percentage ("  37%  ") */
#define ZK_EVENT_ADDRESS_MODE 5    /* on: the address row is in use (1) or not (0) */
#define ZK_EVENT_MESSAGE 6         /* text; buttons ZK_BUTTONS_OK/_OK_CANCEL/_YES_NO */
#define ZK_EVENT_ERROR_DIALOG 7    /* title; code: the failure code; text: message; detail: solution */
#define ZK_EVENT_END_DIALOG 8      /* title; text: elapsed time; ZK_ANSWER_OK serves the next handset */
#define ZK_EVENT_ASK_SAVE_FILE 9   /* title; detail: suggested name; path into answerText */
#define ZK_EVENT_ASK_OPEN_FILE 10  /* title; detail: filter; path into answerText */

/* Controls of ZK_EVENT_PROGRESS_TEXT. */
#define ZK_CONTROL_STATUS 0          /* what the operation does ("Connecting...") */
#define ZK_CONTROL_DETAIL 1          /* file line or current item */
#define ZK_CONTROL_ELAPSED 2         /* elapsed time text */
#define ZK_CONTROL_FIRST_ADDRESS 3   /* start address during burns */
#define ZK_CONTROL_SECOND_ADDRESS 4  /* end address during burns */

/* Buttons a dialog offers (ZKHostEvent.buttons). */
#define ZK_BUTTONS_OK 0
#define ZK_BUTTONS_OK_CANCEL 1
#define ZK_BUTTONS_YES_NO 2
#define ZK_BUTTONS_OK_CLOSE 3  /* error dialog: OK writes the error report, CLOSED does not */
#define ZK_BUTTONS_OK_END 4    /* end dialog */

/* What a callback returns. ZK_ANSWER_DEFAULT, or an answer the dialog does
 * not offer, takes the dialog's default (ZKHostEvent.defaultAnswer). The
 * return value of progress events is ignored. */
#define ZK_ANSWER_DEFAULT 0
#define ZK_ANSWER_OK 1
#define ZK_ANSWER_CANCEL 2
#define ZK_ANSWER_YES 3
#define ZK_ANSWER_NO 4
#define ZK_ANSWER_END 5
#define ZK_ANSWER_CLOSED 6

/* The cause part (code mod 1000) of an operation cancelled by
 * Cancel_Interface; the location part (code / 1000) stays the step that was
 * running, e.g. 405090 for a cancel during the PRL transfer.
 * GetFailureTexts_Interface gives "cancelled by the host" as its contents. */
#define ZK_CAUSE_CANCELLED 90

/* One event. Only `size` bytes are valid: a host built against an older
 * header reads the fields it knows, and fields are only ever added at the
 * end. Text pointers are never null and stay valid only until the callback
 * returns. */
typedef struct ZKHostEvent {
  int size;           /* sizeof(ZKHostEvent) of the library that sent it */
  int type;           /* ZK_EVENT_* */
  int portIndex;      /* 0 is COM1 */
  int operationKind;  /* the `kind` the operation export was given */
  int control;        /* ZK_EVENT_PROGRESS_TEXT: ZK_CONTROL_* */
  int low;            /* ZK_EVENT_PROGRESS_BAR: range and position */
  int high;
  int position;
  int on;             /* ZK_EVENT_ADDRESS_MODE */
  int buttons;        /* dialogs: ZK_BUTTONS_* */
  int defaultAnswer;  /* dialogs: what ZK_ANSWER_DEFAULT stands for */
  int code;           /* ZK_EVENT_ERROR_DIALOG: the failure code */
  const char* title;
  const char* text;
  const char* detail;
  char* answerText;   /* file dialogs: the host writes the chosen path here, terminated, */
  int answerSize;     /* at most answerSize bytes, and returns ZK_ANSWER_OK; else null and 0 */
} ZKHostEvent;

/* Called on the thread that runs the operation export, inside that export,
 * for every visible change and every dialog. It must not call an operation
 * export (that one would be refused); Cancel_Interface is allowed. */
typedef int (*ZKHostCallback)(const ZKHostEvent* event, void* context);

/* Registers `callback` (with `context` handed back to it) as the operator
 * interface of every following operation export, in place of the console
 * or headless interface; NULL removes it and the interface chosen by
 * ZKDOWNLOAD_UI is used again. Silent exports (data backup, the _UPST ones)
 * show no error or end dialog, as ever, but still send their progress
 * events to a registered callback; message boxes are sent in every mode.
 * Any thread; does not block. Returns 1, or 0 (nothing changed) while an
 * operation export runs. */
ZK_API int SetHostCallback_Interface(ZKHostCallback callback, void* context);

/* Asks the running operation export to stop. Callable from any thread (not
 * from a signal handler); returns at once. The operation stops at its next
 * wait or handset exchange (both wake at once), closes the port and fails
 * with cause ZK_CAUSE_CANCELLED: a reporting export shows its error dialog
 * (an ZK_EVENT_ERROR_DIALOG to a registered callback), and
 * GetLastResult_Interface gives the code. An operation whose last exchange
 * was already done when the cancel came still succeeds. The request is
 * forgotten when the next operation export begins. Returns 1 when an
 * operation export was running, else 0. */
ZK_API int Cancel_Interface(void);

/* An operation export refused because another one runs returns 0 at once;
 * GetLastResult_Interface then still reports the running one (0 until it
 * ends), never the refusal. */

#ifdef __cplusplus
}
#endif

#endif /* ZKDOWNLOAD_ZKDOWNLOAD_H */
