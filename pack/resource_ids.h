// Numbers of the resources built into the pack (shared by ostrel.rc and the tables).
#ifndef MORVANE_PACK_RESOURCE_IDS_H
#define MORVANE_PACK_RESOURCE_IDS_H

#define IDB_MWND 422
#define IDB_BTN_STARTCONV 423
#define IDB_SBTN_HELP 424
#define IDB_SBTN_MIN 425
#define IDB_SBTN_CLOSE 426
#define IDB_BTN_ADDPDF 427
#define IDB_BTN_DELPDF 428
#define IDB_BTN_CLEARPDFS 429
#define IDB_IBTN_MANSVC 430
#define IDB_IBTN_HELP 432
#define IDB_IBTN_SETTING 433
#define IDB_IBTN_EXIT 434
#define IDB_IBTN_ABOUT 435
#define IDB_IBTN_CHGFOLDER 436
#define IDB_IBTN_OPENFOLDER 437
#define IDB_BTN_STOPCONV 438
#define IDB_DLG_SZ520250 444
#define IDB_BTN_OK 446
#define IDB_BTN_CLOSE 447
#define IDB_BTN_CANCEL 448

/* Registry scripts the registration code runs when the pack carries them (it carries none). */
#define IDR_OSTREL_APPID 101
#define IDR_RESMGR 102
#define IDR_KERNELDATA 103

#endif
